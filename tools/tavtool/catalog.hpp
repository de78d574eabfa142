// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <string>
#include <vector>

#include "locale_writer.hpp"
#include "sysdep.hpp"

namespace tavtool {

// The messages of a gettext catalogue, in gettext's conventions: the header
// entry is left out (its Language and Plural-Forms fields are kept), fuzzy,
// obsolete and untranslated entries are left out, a message with a context is
// keyed "context\x04msgid", and a message with plural forms gives msgstr[0]
// under its msgid and every msgstr[k] under pluralKey(msgid, k); its msgstr[1]
// is also filed under its msgid_plural, in `derived`, for keys no message has
// of its own (messages() merges them).
// Translations are converted from the catalogue's declared charset to `charset`;
// msgids are kept as they are, as gettext keeps them.
struct Catalog {
    std::string language;
    std::string pluralForms;  // empty where the header declares no rule
    std::vector<Message> messages;
    std::vector<Message> derived;  // msgstr[1] under msgid_plural
};

// The messages of catalogues read in order, as one locale file files them: a
// later catalogue's message replaces an earlier one's, and a text derived from
// a msgid_plural yields to a message of its own with that key in any of them.
std::vector<Message> messages(std::vector<Catalog> catalogs);

// The catalogue in the bytes of an MO file (either byte order), named `path` in
// messages; readCatalog reads MO files with it.
// Where the targets' expansions of a system-dependent message share a key but
// not a text, `target` (an index into sysdepTargetNames) is the one kept.
Catalog readMo(const std::string& path, const std::string& bytes, const std::string& charset = "UTF-8",
               std::size_t target = hostTarget());

// Refuses a target charset that locale files cannot hold (one whose texts have
// zero bytes, as UTF-16 and UTF-32 do), or that this build cannot convert to.
void checkTarget(const std::string& charset);

// Reads a binary MO file (either byte order) or, where the build has GNU
// gettext's PO library, a text PO file, from its bytes read once ("-" is
// standard input); the kind is told from the content. PO messages flagged
// c-format are checked as msgfmt --check does. Throws FileError naming the file.
Catalog readCatalog(const std::string& path, const std::string& charset = "UTF-8", std::size_t target = hostTarget());

}  // namespace tavtool

#pragma once

#include <string>
#include <vector>

#include "locale_writer.hpp"

namespace tavtool {

// The messages of a gettext catalogue, in gettext's conventions: the header
// entry is left out (its Language and Plural-Forms fields are kept), fuzzy,
// obsolete and untranslated entries are left out, a message with a context is
// keyed "context\x04msgid", and a message with plural forms gives msgstr[0]
// under its msgid, every msgstr[k] under pluralKey(msgid, k), and msgstr[1]
// also under its msgid_plural (unless that key has a message of its own).
// Translations are converted from the catalogue's declared charset to `charset`;
// msgids are kept as they are, as gettext keeps them.
struct Catalog {
    std::string language;
    std::string pluralForms;  // empty where the header declares no rule
    std::vector<Message> messages;
};

// Whether this build converts character sets (with iconv). Without, catalogues
// must be in UTF-8 or ASCII, and the target must be UTF-8.
extern const bool convertsCharsets;

// Reads a binary MO file (either byte order) or, where the build has GNU
// gettext's PO library, a text PO file; the kind is told from the content.
// Throws std::runtime_error naming the file.
Catalog readCatalog(const std::string& path, const std::string& charset = "UTF-8");

}  // namespace tavtool

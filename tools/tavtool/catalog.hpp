#pragma once

#include <string>
#include <vector>

#include "locale_writer.hpp"

namespace tavtool {

// The messages of a gettext catalogue, in gettext's conventions: the header
// entry is left out (its Language field is kept), fuzzy, obsolete and
// untranslated entries are left out, a message with a context is keyed
// "context\x04msgid", and a message with plural forms gives msgstr[0] under its
// msgid and msgstr[1] under its msgid_plural (unless that key has a message of
// its own).
struct Catalog {
    std::string language;
    std::vector<Message> messages;
};

// Reads a binary MO file (either byte order) or, where the build has GNU
// gettext's PO library, a text PO file; the kind is told from the content.
// Throws std::runtime_error naming the file.
Catalog readCatalog(const std::string& path);

}  // namespace tavtool

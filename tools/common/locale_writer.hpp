#pragma once

// Lays out a locale file: a container whose "BODY" list, named "ORL", holds the
// code ("STRN" named "code"), the key hashes ("TUDW" named "offsets"), the
// texts ("ATXT" named "strings", one chunk per text after the name child) and,
// where the catalogue declares one, its plural rule ("PLUR" named "plural").
// docs/locale-files.md describes the layout.

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include <tav/security/crc32.hpp>

#include "riff_writer.hpp"

namespace tavtool {

struct Message {
    std::string key;   // gettext's form: a context, byte 0x04, then the msgid
    std::string text;
};

// The key under which form k > 0 of a message with plural forms is filed: its
// key, byte 0x01, and k in decimal digits (form 0 stands under the key itself).
inline std::string pluralKey(const std::string& key, std::size_t form) {
    return key + '\x01' + std::to_string(form);
}

// Shows a key for a message: its context separator made visible.
inline std::string shownKey(const std::string& key) {
    std::string shown;
    for (char c : key)
        shown += c == '\x04' ? std::string("\\x04") : c == '\x01' ? std::string("\\x01") : std::string(1, c);
    return '"' + shown + '"';
}

// Builds the file's bytes. A later message with the same key replaces an earlier
// one; two distinct keys with one hash cannot share a file and are refused, as is
// a key whose hash is 0, the code's own. Texts end at their first zero byte.
// `rule` is the catalogue's Plural-Forms value; none is stored where it is empty.
inline std::string localeFile(const std::string& code, const std::vector<Message>& messages,
                              const std::string& rule = std::string()) {
    std::map<std::uint32_t, std::size_t> byHash;  // hash -> index into `kept`
    std::vector<Message> kept;
    for (const Message& m : messages) {
        const std::uint32_t hash = Tav::Security::Hash::Crc32(m.key.c_str());
        if (m.key.find('\0') != std::string::npos)
            throw std::invalid_argument("key " + shownKey(m.key) + " holds a zero byte");
        if (hash == 0)
            throw std::invalid_argument("key " + shownKey(m.key) + " has the hash 0, which the locale code takes");
        const auto [at, fresh] = byHash.emplace(hash, kept.size());
        if (fresh) {
            kept.push_back(m);
        } else if (kept[at->second].key == m.key) {
            kept[at->second].text = m.text;
        } else {
            throw std::invalid_argument("keys " + shownKey(kept[at->second].key) + " and " + shownKey(m.key) +
                                        " have the same hash; they cannot share a locale file");
        }
    }
    std::string hashes, texts;
    for (const Message& m : kept) {
        hashes += le32(Tav::Security::Hash::Crc32(m.key.c_str()));
        texts += chunk("TEXT", m.text.substr(0, m.text.find('\0')) + '\0');
    }
    std::string body = node("STRN", "code", code + '\0') + node("TUDW", "offsets", hashes) +
                       namedList("ATXT", "strings", texts);
    if (!rule.empty()) body += node("PLUR", "plural", rule + '\0');
    return riff("OSTR", namedList("BODY", "ORL", body));
}

}  // namespace tavtool

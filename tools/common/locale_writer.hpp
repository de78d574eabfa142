// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
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
#include <string_view>
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
// The size is known before any text is copied, and the bytes are laid out in
// one buffer of exactly that size: a file past the 4 GiB its lengths can count
// is refused with std::length_error, and memory stays at the file's own size.
inline std::string localeFile(const std::string& code, const std::vector<Message>& messages,
                              const std::string& rule = std::string()) {
    std::map<std::uint32_t, std::size_t> byHash;  // hash -> index into `kept`
    std::vector<const Message*> kept;
    for (const Message& m : messages) {
        const std::uint32_t hash = Tav::Security::Hash::Crc32(m.key.c_str());
        if (m.key.find('\0') != std::string::npos)
            throw std::invalid_argument("key " + shownKey(m.key) + " holds a zero byte");
        if (hash == 0)
            throw std::invalid_argument("key " + shownKey(m.key) + " has the hash 0, which the locale code takes");
        const auto [at, fresh] = byHash.emplace(hash, kept.size());
        if (fresh) {
            kept.push_back(&m);
        } else if (kept[at->second]->key == m.key) {
            kept[at->second] = &m;  // the later text, in the earlier one's place
        } else {
            throw std::invalid_argument("keys " + shownKey(kept[at->second]->key) + " and " + shownKey(m.key) +
                                        " have the same hash; they cannot share a locale file");
        }
    }
    const auto textOf = [](const Message* m) { return std::string_view(m->text).substr(0, m->text.find('\0')); };
    // Every size in 64 bits first: the lengths must fit 32.
    const auto nodeSize = [](std::size_t name, std::uint64_t payload) { return 8 + name + 1 + payload; };
    std::uint64_t texts = 0;
    for (const Message* m : kept) texts += 8 + textOf(m).size() + 1;
    const std::uint64_t stringsList = 12 + nodeSize(7, 0) + texts;
    const std::uint64_t bodyChildren = nodeSize(3, 0) + nodeSize(4, code.size() + 1) + nodeSize(7, 4 * kept.size()) +
                                       stringsList + (rule.empty() ? 0 : nodeSize(6, rule.size() + 1));
    const std::uint64_t fileSize = 12 + 12 + bodyChildren;
    if (fileSize - 12 > 0xFFFFFFFFu)
        throw std::length_error("the locale file would take " + std::to_string(fileSize) +
                                " bytes, more than the 4 GiB its lengths can count");
    std::string out;
    out.reserve(static_cast<std::size_t>(fileSize));
    const auto header = [&](std::string_view id, std::uint64_t length) { out.append(fourcc(id)).append(le32(length)); };
    const auto node = [&](std::string_view id, std::string_view name, std::string_view payload, bool zero) {
        header(id, name.size() + 1 + payload.size() + zero);
        out.append(name).append(1, '\0').append(payload);
        if (zero) out += '\0';
    };
    header("RIFF", fileSize - 12);
    out += "OSTR";
    header("LIST", bodyChildren);
    out += "BODY";
    node("OSTR", "ORL", "", false);
    node("STRN", "code", code, true);
    std::string hashes;
    for (const Message* m : kept) hashes += le32(Tav::Security::Hash::Crc32(m->key.c_str()));
    node("TUDW", "offsets", hashes, false);
    header("LIST", stringsList - 12);
    out += "ATXT";
    node("OSTR", "strings", "", false);
    for (const Message* m : kept) {
        header("TEXT", textOf(m).size() + 1);
        out.append(textOf(m)).append(1, '\0');
    }
    if (!rule.empty()) node("PLUR", "plural", rule, true);
    return out;
}

}  // namespace tavtool

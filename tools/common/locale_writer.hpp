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
#include <memory>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <tav/security/crc32.hpp>

#include "riff_writer.hpp"

namespace tavtool {

// A message's text. Copies share its bytes: an MO file's translations may share
// theirs, thousands of messages one text, and a catalogue in memory stays the
// size of its file.
class Text {
public:
    Text() = default;
    Text(std::string bytes) : bytes(std::make_shared<const std::string>(std::move(bytes))) {}
    Text(const char* bytes) : Text(std::string(bytes)) {}

    const std::string& str() const { return bytes ? *bytes : none(); }
    operator std::string_view() const { return str(); }
    std::size_t size() const { return str().size(); }
    bool empty() const { return str().empty(); }

    friend bool operator==(const Text& a, std::string_view b) { return a.str() == b; }
    friend bool operator!=(const Text& a, std::string_view b) { return a.str() != b; }
    friend std::ostream& operator<<(std::ostream& out, const Text& text) { return out << text.str(); }

private:
    static const std::string& none() {
        static const std::string nothing;
        return nothing;
    }
    std::shared_ptr<const std::string> bytes;
};

struct Message {
    std::string key;  // gettext's form: a context, byte 0x04, then the msgid
    Text text;
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

// A locale file laid out, every refusal made before a byte is written. A later
// message with the same key replaces an earlier one; two distinct keys with one
// hash cannot share a file and are refused, as is a key whose hash is 0, the
// code's own. Texts end at their first zero byte. `rule` is the catalogue's
// Plural-Forms value; none is stored where it is empty. A file past the 4 GiB
// its lengths can count is refused with std::length_error. It refers to the
// messages, which must outlive it, and is written as it is produced: memory
// stays at the catalogue's size, whatever the file's.
class LocaleFile {
public:
    LocaleFile(std::string code, const std::vector<Message>& messages, std::string rule = std::string())
        : code(std::move(code)), rule(std::move(rule)) {
        std::map<std::uint32_t, std::size_t> byHash;  // hash -> index into `kept`
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
        // Every size in 64 bits first: the lengths must fit 32.
        std::uint64_t texts = 0;
        for (const Message* m : kept) texts += 8 + textOf(*m).size() + 1;
        stringsList = 12 + nodeSize(7, 0) + texts;
        bodyChildren = nodeSize(3, 0) + nodeSize(4, this->code.size() + 1) + nodeSize(7, 4 * kept.size()) +
                       stringsList + (this->rule.empty() ? 0 : nodeSize(6, this->rule.size() + 1));
        if (size() - 12 > 0xFFFFFFFFu)
            throw std::length_error("the locale file would take " + std::to_string(size()) +
                                    " bytes, more than the 4 GiB its lengths can count");
    }

    std::uint64_t size() const { return 12 + 12 + bodyChildren; }

    void write(std::ostream& out) const {
        const auto header = [&](std::string_view id, std::uint64_t length) { out << fourcc(id) << le32(length); };
        const auto node = [&](std::string_view id, std::string_view name, std::string_view payload, bool zero) {
            header(id, name.size() + 1 + payload.size() + zero);
            out << name << '\0' << payload;
            if (zero) out << '\0';
        };
        header("RIFF", size() - 12);
        out << "OSTR";
        header("LIST", bodyChildren);
        out << "BODY";
        node("OSTR", "ORL", "", false);
        node("STRN", "code", code, true);
        header("TUDW", 8 + 4 * std::uint64_t{kept.size()});
        out << "offsets" << '\0';
        for (const Message* m : kept) out << le32(Tav::Security::Hash::Crc32(m->key.c_str()));
        header("LIST", stringsList - 12);
        out << "ATXT";
        node("OSTR", "strings", "", false);
        for (const Message* m : kept) {
            if (!out) return;  // the writer reports it
            header("TEXT", textOf(*m).size() + 1);
            out << textOf(*m) << '\0';
        }
        if (!rule.empty()) node("PLUR", "plural", rule, true);
    }

private:
    static std::string_view textOf(const Message& m) {
        const std::string_view text = m.text;
        return text.substr(0, text.find('\0'));
    }
    static std::uint64_t nodeSize(std::size_t name, std::uint64_t payload) { return 8 + name + 1 + payload; }

    std::string code, rule;
    std::vector<const Message*> kept;
    std::uint64_t stringsList = 0, bodyChildren = 0;
};

// A locale file's bytes, for files small enough to hold.
inline std::string localeFile(const std::string& code, const std::vector<Message>& messages,
                              const std::string& rule = std::string()) {
    std::ostringstream out;
    LocaleFile(code, messages, rule).write(out);
    return out.str();
}

}  // namespace tavtool

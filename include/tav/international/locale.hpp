// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <vector>

#include <tav/core/object.hpp>
#include <tav/export.hpp>

namespace Tav::International {

namespace detail {
class PluralRule;
}

/// The key of a message in a context, as gettext files it: the context, byte
/// 0x04, then the msgid. Prefer it to a literal: in "menu\x04Edit" the escape
/// reads "\x04E" as one hexadecimal number, and the key is another one.
inline std::string ContextKey(const std::string& context, const std::string& msgid) {
    std::string key;
    key.reserve(context.size() + 1 + msgid.size());
    key += context;
    key += '\x04';
    key += msgid;
    return key;
}

/// A table of translated texts loaded from a locale file: a container file whose
/// "BODY" list holds the locale's code ("/BODY.ORL/STRN.code"), the 32-bit key
/// hashes ("/BODY.ORL/TUDW.offsets") and the texts in the same order, one per
/// child after the name child ("/BODY.ORL/ATXT.strings"). Keys are looked up by
/// their CRC-32 (Tav::Security::Hash::Crc32 of the key's text and its zero byte).
///
/// A file may also hold the catalogue's plural rule (a "PLUR" data node named
/// "plural" in the body list, holding gettext's Plural-Forms value) and the
/// plural forms of its messages; docs/locale-files.md describes the layout.
///
/// The whole file is read by the constructor; the stream is not touched again.
/// Lookups do not change the table, so they may run on several threads at once.
class TAV_API Locale : public Object {
public:
    /// Failures of the container propagate unchanged; a file whose nodes are
    /// malformed (a code or text without its zero byte, fewer texts than hashes, a
    /// data node too short for its own name) is refused with a pointer to a new
    /// std::invalid_argument.
    explicit Locale(std::istream& stream);
    Locale(const Locale&) = delete;
    Locale& operator=(const Locale&) = delete;
    ~Locale();

    /// The text filed under the key's hash, or an empty text for an absent key.
    /// References and pointers stay valid while the Locale lives. The key ends at
    /// its first zero byte; a null key is absent.
    const std::string& operator[](const std::string& key) const noexcept;
    /// The same for a zero-terminated key, as a pointer into the table.
    const char* operator[](const char* key) const noexcept;

    /// Writes the key's text to std::cout, with nothing added and no flush.
    Locale& operator<<(const char* key);
    /// The same for a key held as a std::string.
    Locale& operator<<(const std::string& key);

    /// The locale's code: the text filed under hash 0 (the empty key's hash).
    const std::string& code() const noexcept;

    /// The form of a message with plural forms that the catalogue's rule selects
    /// for `n`, as ngettext selects it. `key` is the message's msgid (with a
    /// context: ContextKey(context, msgid)). A rule that gives an index not below
    /// its number of forms, or divides by zero, selects form 0; a message without
    /// the selected form yields its form 0, as gettext does; an absent message
    /// yields the empty text. Files without a rule use gettext's default (two
    /// forms, n != 1).
    const std::string& plural(const std::string& key, unsigned long n) const noexcept;
    /// The same for a zero-terminated key, as a pointer into the table.
    const char* plural(const char* key, unsigned long n) const noexcept;

private:
    /// One slot of the table: a hash and its text side by side, so that a lookup
    /// reads one place in memory. The slots are laid out once, at construction,
    /// and never move, so references handed out stay good.
    struct Slot {
        std::uint32_t hash = 0;
        bool used = false;
        std::string text;
    };
    const std::string* find(std::uint32_t hash) const noexcept;
    void file(std::uint32_t hash, std::string text);
    const std::string& pluralForm(const char* key, unsigned long n) const noexcept;

    std::vector<Slot> slots;  ///< open addressing, a power of two, at most two thirds full
    std::uint64_t multiplier = 1;  ///< spreads hashes over the slots; chosen at random
    unsigned shift = 63;           ///< 64 minus the log2 of the slot count
    std::unique_ptr<detail::PluralRule> rule;
    /// The one text every absent key yields; absent keys are not filed, so that
    /// looking up untrusted keys cannot grow the table.
    std::string absent;
};

}  // namespace Tav::International

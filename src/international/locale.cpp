// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <tav/international/locale.hpp>

#include <chrono>
#include <cstring>
#include <iostream>
#include <random>
#include <stdexcept>
#include <vector>

#include <tav/format/ostrane/file.hpp>
#include <tav/security/crc32.hpp>

#include "detail/bytes.hpp"
#include "detail/fail.hpp"
#include "format/ostrane/path.hpp"
#include "format/riff/buffer.hpp"
#include "format/riff/window.hpp"
#include "international/plural.hpp"

namespace Tav::International {

namespace {

using Tav::Format::Ostrane::Node;
namespace RIFF = Tav::Format::RIFF;

[[noreturn]] void malformed(const char* what) {
    Tav::detail::fail<std::invalid_argument>(
        (std::string("Tav::International::Locale::constructor: ") + what).c_str());
}

// The text up to the first zero byte, which must lie within the bytes.
std::string text(const char* bytes, std::size_t size) {
    const void* zero = size > 0 ? std::memchr(bytes, 0, size) : nullptr;
    if (!zero) malformed("Text without terminating zero!");
    return std::string(bytes, static_cast<const char*>(zero));
}

// A node's payload: its data after the first zero byte, which ends a data node's
// name. It is measured from the data itself, never from name(): a path's type
// also selects lists, whose name lies elsewhere, and the payload must not reach
// past the data.
std::string payload(Node& node) {
    RIFF::Chunk& chunk = node;
    const char* data = chunk.open();
    const char* end = data + RIFF::detail::bufferBytes(data);
    const char* zero = static_cast<const char*>(std::memchr(data, 0, static_cast<std::size_t>(end - data)));
    const std::string copy = zero ? std::string(zero + 1, end) : std::string();
    chunk.close();
    if (!zero) malformed("Data node too short for its name!");
    return copy;
}

// An odd multiplier that spreads key hashes over the table's slots, chosen at
// random once per process: a file made to crowd one run of slots cannot know it.
std::uint64_t spread() {
    static const std::uint64_t chosen = [] {
        std::uint64_t value;
        try {
            std::random_device device;
            value = std::uint64_t{device()} << 32 ^ device();
        } catch (const std::exception&) {
            value = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        }
        return value * 0x9E3779B97F4A7C15u | 1;
    }();
    return chosen;
}

// The catalogue's plural rule: the first "PLUR" data node of the body list, if any.
detail::PluralRule pluralRule(Format::Ostrane::File& container) {
    RIFF::Chunk& body = Format::Ostrane::detail::select(container, "/BODY.ORL");
    if (!RIFF::List::is(body)) return {};
    auto& list = static_cast<RIFF::List&>(body);
    Format::Ostrane::detail::Identifiers identifiers(container);
    for (std::int32_t i = 0; i < list.count(); ++i) {
        RIFF::Chunk& child = list[static_cast<std::uint32_t>(i)];
        if (RIFF::List::is(child) || std::memcmp(identifiers.id(child).chars, "PLUR", 4) != 0) continue;
        Node node(child);
        const std::string bytes = payload(node);
        try {
            return detail::PluralRule(text(bytes.data(), bytes.size()));
        } catch (const std::invalid_argument&) {
            malformed("Malformed plural rule!");
        }
    }
    return {};
}

}  // namespace

Locale::Locale(std::istream& stream) {
    stamp("TIntlLocale", 32);
    // The container is needed only here: nothing reads it after construction.
    Format::Ostrane::File container(stream);
    Node code(Format::Ostrane::detail::select(container, "/BODY.ORL/STRN.code"));
    Node offsets(Format::Ostrane::detail::select(container, "/BODY.ORL/TUDW.offsets"));
    RIFF::Chunk& strings = Format::Ostrane::detail::select(container, "/BODY.ORL/ATXT.strings");

    const std::string codeBytes = payload(code);
    const std::string hashes = payload(offsets);
    const std::size_t count = hashes.size() / 4;  // 1 to 3 bytes left over are ignored
    // The texts are children 1 to N of the strings list as the container loaded
    // it; a list node found by path is a chunk without children of its own.
    auto* list = RIFF::List::is(strings) ? static_cast<RIFF::List*>(&strings) : nullptr;
    if (count > 0 && (!list || static_cast<std::uint64_t>(list->count()) < count + 1))
        malformed("Fewer texts than key hashes!");
    rule = std::make_unique<detail::PluralRule>(pluralRule(container));

    // Laid out once for every text the file has: the table never grows, so no
    // text ever moves.
    unsigned bits = 1;
    while ((std::size_t{1} << bits) < count + 1 + (count + 1) / 2) ++bits;
    slots.resize(std::size_t{1} << bits);
    shift = 64 - bits;
    multiplier = spread();
    file(0, text(codeBytes.data(), codeBytes.size()));

    // Each text chunk's header and data are fetched through one window of the
    // stream: a seek per text would cost a system call each on a file stream.
    RIFF::detail::Window window(container);
    std::vector<char> data;
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint32_t at = (*list)[static_cast<std::uint32_t>(k + 1)].offset();
        unsigned char header[8];
        if (!window.fetch(at, sizeof header, header)) malformed("Text past end of stream!");
        const std::uint32_t length = Tav::detail::loadLE32(header + 4);
        // Checked before allocating: a corrupt length could otherwise ask for gigabytes.
        if (std::uint64_t{at} + 8 + length > window.size()) malformed("Text past end of stream!");
        data.resize(length);
        if (!window.fetch(std::uint64_t{at} + 8, length, data.data())) malformed("Text past end of stream!");
        // Filing replaces: a repeated hash keeps the later text, and hash 0 replaces the code.
        file(Tav::detail::loadLE32(hashes.data() + 4 * k), text(data.data(), data.size()));
    }
}

Locale::~Locale() = default;

// Linear probing from the slot the spread hash picks; the table always has a
// free slot, which ends every search.
const std::string* Locale::find(std::uint32_t hash) const noexcept {
    const std::size_t mask = slots.size() - 1;
    for (std::size_t i = static_cast<std::size_t>(hash * multiplier >> shift);; i = (i + 1) & mask) {
        const Slot& slot = slots[i];
        if (!slot.used) return nullptr;
        if (slot.hash == hash) return &slot.text;
    }
}

void Locale::file(std::uint32_t hash, std::string text) {
    const std::size_t mask = slots.size() - 1;
    std::size_t i = static_cast<std::size_t>(hash * multiplier >> shift);
    while (slots[i].used && slots[i].hash != hash) i = (i + 1) & mask;
    slots[i] = {hash, true, std::move(text)};
}

const std::string& Locale::operator[](const std::string& key) const noexcept {
    const std::string* text = find(Security::Hash::Crc32(key.c_str()));
    return text ? *text : absent;
}

const char* Locale::operator[](const char* key) const noexcept {
    if (!key) return absent.c_str();
    const std::string* text = find(Security::Hash::Crc32(key));
    return (text ? *text : absent).c_str();
}

// Form k > 0 of a message is filed under its key, byte 0x01 and k in decimal
// digits; form 0 under the key itself.
const std::string& Locale::pluralForm(const char* key, unsigned long n) const noexcept {
    const auto* bytes = reinterpret_cast<const unsigned char*>(key);
    const std::uint32_t crc = Security::Hash::Crc32(bytes, std::strlen(key), 0);
    if (unsigned long form = rule->select(n)) {
        unsigned char suffix[24];
        std::size_t length = sizeof suffix;
        suffix[--length] = 0;
        do suffix[--length] = static_cast<unsigned char>('0' + form % 10);
        while (form /= 10);
        suffix[--length] = 1;
        const std::uint32_t hash = Security::Hash::Crc32(suffix + length, sizeof suffix - length, crc);
        if (const std::string* text = find(hash)) return *text;
    }
    const unsigned char zero = 0;
    const std::string* text = find(Security::Hash::Crc32(&zero, 1, crc));
    return text ? *text : absent;
}

const std::string& Locale::plural(const std::string& key, unsigned long n) const noexcept {
    return pluralForm(key.c_str(), n);
}

const char* Locale::plural(const char* key, unsigned long n) const noexcept {
    return key ? pluralForm(key, n).c_str() : absent.c_str();
}

Locale& Locale::operator<<(const char* key) {
    std::cout << (*this)[key];
    return *this;
}

Locale& Locale::operator<<(const std::string& key) {
    std::cout << (*this)[key];
    return *this;
}

const std::string& Locale::code() const noexcept { return *find(0); }  // filed at construction

}  // namespace Tav::International

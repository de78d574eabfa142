// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

// The JSON of a description, read as it streams in: a chunk's data may be a
// string of gigabytes, kept in a temporary file rather than in memory.

#include <array>
#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files.hpp"

namespace tavtool {

// A description that cannot become RIFF data: the message names the place in
// the JSON as a JSON pointer ("/children/3/id: ...").
struct PackError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A JSON value as a description holds it. A string's bytes stay in memory up to
// 64 KiB; a longer one's (a chunk's data) go to the description's temporary
// file as they are read.
struct JsonValue {
    enum class Kind { null, boolean, number, string, array, object };
    Kind kind = Kind::null;
    std::string text;                // a number's or literal's JSON text; a short string's bytes
    bool held = true;                // whether a string's bytes are in `text`
    std::uint64_t at = 0, size = 0;  // a string's bytes: where they start in the file, and how many
    std::vector<JsonValue> items;    // an array's
    std::vector<std::pair<std::string, JsonValue>> members;  // an object's, in order

    const JsonValue* find(std::string_view key) const;
};

struct Description {
    JsonValue root;
    std::unique_ptr<TemporaryFile> strings;  // the long strings' bytes, where there are some

    // The bytes of one of its strings, a block at a time.
    void blocks(const JsonValue& string, const std::function<void(std::string_view)>& use) const;
};

// Reads a description. Refuses invalid JSON ("invalid JSON: parse error at line
// 1, column 31: ...") and an object with a key given twice, naming the second
// one's JSON pointer, with a PackError: a reader that kept either value would
// silently drop the other. JSON nested deeper than any description of a file
// a reader accepts is refused as it is read, before its cost grows with depth.
Description parseDescription(std::istream& in);

// Throws a PackError that names `where`, a JSON pointer (by its ends, where long).
[[noreturn]] void refuse(const std::string& where, const std::string& what);

// What a key adds to a JSON pointer: a slash and the key, "~" and "/" escaped.
std::string pointerStep(const std::string& key);

// Each byte's value as a hex digit, or -1: data of gigabytes goes through here.
inline constexpr std::array<signed char, 256> hexValues = [] {
    std::array<signed char, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[static_cast<std::size_t>(c)] = static_cast<signed char>(c >= '0' && c <= '9'   ? c - '0'
                                                                  : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                                  : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                                                         : -1);
    return t;
}();

inline int hexValue(char c) { return hexValues[static_cast<unsigned char>(c)]; }

}  // namespace tavtool

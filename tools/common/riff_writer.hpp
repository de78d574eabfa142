// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

// Builds RIFF data in the library's length convention: the RIFF and LIST
// lengths count the bytes after the form or list type, and no pad byte follows
// a chunk of odd length; and in the published one. Used by tavtool, the
// examples and the tests.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tavtool {

inline std::string le32(std::uint64_t value) {
    if (value > 0xFFFFFFFFu) throw std::length_error("RIFF data larger than 4 GiB");
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

inline std::string fourcc(std::string_view code) {
    if (code.size() != 4) throw std::invalid_argument("a four-character code needs four characters");
    return std::string(code);
}

// A plain chunk: id, data length, data.
inline std::string chunk(std::string_view id, std::string_view data) {
    return fourcc(id) + le32(data.size()) + std::string(data);
}

// A "LIST" chunk whose length counts its children only, not its list type.
inline std::string list(std::string_view type, std::string_view children) {
    return "LIST" + le32(children.size()) + fourcc(type) + std::string(children);
}

// A whole file: the length counts the bytes after the form type.
inline std::string riff(std::string_view form, std::string_view children) {
    return "RIFF" + le32(children.size()) + fourcc(form) + std::string(children);
}

// The published convention (WAV, AVI, WebP): a chunk of odd length is followed by
// a pad byte its length does not count, and the RIFF and LIST lengths count the
// form or list type too.
inline std::string publishedChunk(std::string_view id, std::string_view data) {
    return chunk(id, data) + (data.size() % 2 ? std::string(1, '\0') : std::string());
}

inline std::string publishedList(std::string_view type, std::string_view children) {
    return publishedChunk("LIST", fourcc(type) + std::string(children));
}

inline std::string publishedRiff(std::string_view form, std::string_view children) {
    return "RIFF" + le32(children.size() + 4) + fourcc(form) + std::string(children);
}

// A container data node: its data is the name, a zero byte, then the payload.
inline std::string node(std::string_view id, std::string_view name, std::string_view payload) {
    return chunk(id, std::string(name) + '\0' + std::string(payload));
}

// A container list node: its first child, of id "OSTR", holds the list's name.
inline std::string namedList(std::string_view type, std::string_view name, std::string_view children) {
    return list(type, chunk("OSTR", std::string(name) + '\0') + std::string(children));
}

}  // namespace tavtool

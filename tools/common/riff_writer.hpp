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

// The same in Motorola byte order, as RIFX files write every length.
inline std::string be32(std::uint64_t value) {
    std::string out = le32(value);
    return std::string(out.rbegin(), out.rend());
}

// A 64-bit little-endian number: RF64's "ds64" sizes, Wave64's chunk sizes.
inline std::string le64(std::uint64_t value) {
    std::string out(8, '\0');
    for (int i = 0; i < 8; ++i) out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
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

// The first chunk of an RF64 or BW64 file: the form's size (file size - 8), the
// "data" chunk's, a sample count, and a table of (id, size) for other chunks
// whose length field holds 0xFFFFFFFF.
inline std::string ds64(std::uint64_t riffSize, std::uint64_t dataSize, std::string_view table = {}) {
    const std::string body = le64(riffSize) + le64(dataSize) + le64(0) + le32(table.size() / 12) + std::string(table);
    return chunk("ds64", body);
}

// Wave64's GUID for a RIFF code: the code's bytes, then the tail Sony registered
// for "riff", for "list", or for the others.
inline std::string wave64Guid(std::string_view code) {
    const char* tail = code == "riff"   ? "\x2E\x91\xCF\x11\xA5\xD6\x28\xDB\x04\xC1\x00\x00"
                       : code == "list" ? "\x2F\x91\xCF\x11\xA5\xD6\x28\xDB\x04\xC1\x00\x00"
                                        : "\xF3\xAC\xD3\x11\x8C\xD1\x00\xC0\x4F\x8E\xDB\x8A";
    return fourcc(code) + std::string(tail, 12);
}

// A Wave64 chunk: a 16-byte id, a size that counts the 24-byte header, the data,
// and zeros up to the next multiple of 8.
inline std::string wave64Chunk(std::string_view guid, std::string_view data) {
    const std::string id = guid.size() == 4 ? wave64Guid(guid) : std::string(guid);
    return id + le64(24 + data.size()) + std::string(data) + std::string((8 - data.size() % 8) % 8, '\0');
}

// A whole Wave64 file: its size counts everything, its header included.
inline std::string wave64(std::string_view form, std::string_view chunks) {
    return wave64Guid("riff") + le64(24 + 16 + chunks.size()) + wave64Guid(form) + std::string(chunks);
}

}  // namespace tavtool

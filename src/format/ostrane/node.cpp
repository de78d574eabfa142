// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <tav/format/ostrane/node.hpp>

#include <cstring>

#include <tav/format/riff/file.hpp>

#include "format/riff/buffer.hpp"

namespace Tav::Format::Ostrane {

namespace {

// Where the name ends: at the first zero byte, or at the end of data that has none.
const char* nameEnd(const char* data) noexcept {
    const std::uint32_t bytes = RIFF::detail::bufferBytes(data);
    const void* zero = std::memchr(data, 0, bytes);
    return zero ? static_cast<const char*>(zero) : data + bytes;
}

}  // namespace

Node::Node() noexcept : Chunk() { stamp("TFrmtOstrNd", 28); }

Node::Node(const RIFF::Chunk& chunk) noexcept : Chunk(chunk) { stamp("TFrmtOstrNd", 28); }

Node::Node(const Node& other) noexcept : Chunk(other) { stamp("TFrmtOstrNd", 28); }

Node::Node(Object& owner, std::uint64_t at) noexcept : Chunk(owner, at) { stamp("TFrmtOstrNd", 28); }

Node::Node(RIFF::File* owner, std::uint64_t at) noexcept : Chunk(owner, at) { stamp("TFrmtOstrNd", 28); }

const std::string Node::name() {
    if (type().value == KnownFourCC::LIST.value) {
        // The first child stands right after the list type, if the list's length
        // leaves room for one (the 32-bit sum is the walk's own rule). Only that
        // child is read: loading the whole list just for its name would be waste.
        if (length() + std::uint32_t{12} <= 12) return std::string();
        Node first(parent, position + 12);
        if (first.type().value != KnownFourCC::NAME.value) return std::string();
        return first.name();
    }
    if (buffer) return std::string(const_cast<const char*>(buffer), nameEnd(buffer));
    const char* data = Chunk::open();
    std::string copy(data, nameEnd(data));
    close();
    return copy;
}

const char* Node::open() {
    const char* data = Chunk::open();
    const char* end = nameEnd(data);
    return end == data + RIFF::detail::bufferBytes(data) ? end : end + 1;
}

}  // namespace Tav::Format::Ostrane

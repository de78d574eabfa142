// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <tav/format/riff/chunk.hpp>

#include <stdexcept>

#include <tav/format/riff/file.hpp>

#include "detail/bytes.hpp"
#include "detail/fail.hpp"
#include "format/riff/buffer.hpp"

namespace Tav::Format::RIFF {

using Tav::detail::fail;

Chunk::Chunk() noexcept : Chunk(static_cast<File*>(nullptr), 0) {}

Chunk::Chunk(Object& owner, std::uint32_t offset) noexcept
    : Chunk(File::is(owner) ? static_cast<File*>(&owner) : nullptr, offset) {}

Chunk::Chunk(File* owner, std::uint32_t offset) noexcept
    : buffer(nullptr), position(offset), parent(owner) {
    stamp("TFrmtRIFFCh", 28);
}

Chunk::Chunk(const Chunk& other) noexcept
    : Object(other), buffer(other.buffer), position(other.position), parent(other.parent) {
    stamp("TFrmtRIFFCh", 28);
    detail::retainBuffer(buffer);
}

Chunk::~Chunk() { detail::releaseBuffer(buffer); }

void Chunk::requireParent() const {
    if (!parent) fail<std::invalid_argument>("Unparented chunk!");
}

std::uint32_t Chunk::offset() {
    requireParent();
    return position;
}

std::uint32_t Chunk::length() {
    requireParent();
    unsigned char bytes[4];
    parent->read(position + 4, 4, bytes);
    return Tav::detail::loadLE32(bytes);
}

const FourCC Chunk::type() {
    requireParent();
    FourCC id;
    parent->read(position, 4, id.chars);
    return id;
}

const char* Chunk::open() {
    requireParent();
    if (buffer) fail<std::invalid_argument>("Chunk already open!");
    const std::uint32_t n = length();
    // Never allocate more than the stream can deliver: a corrupt length field
    // could otherwise ask for gigabytes.
    if (std::uint64_t{position} + 8 + n > parent->extent())
        fail<std::invalid_argument>("Chunk data past end of stream!");
    char* data = detail::allocateBuffer(n);
    parent->read(position + 8, n, data);
    buffer = data;
    return buffer;
}

void Chunk::close() {
    requireParent();
    if (!buffer) fail<std::invalid_argument>("Chunk is not open!");
    detail::releaseBuffer(buffer);
    buffer = nullptr;
}

}  // namespace Tav::Format::RIFF

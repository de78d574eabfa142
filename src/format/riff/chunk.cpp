// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <tav/format/riff/chunk.hpp>

#include <algorithm>
#include <cstdint>
#include <istream>
#include <stdexcept>

#include <tav/format/riff/file.hpp>

#include "detail/bytes.hpp"
#include "detail/fail.hpp"
#include "format/riff/buffer.hpp"

namespace Tav::Format::RIFF {

using Tav::detail::fail;

Chunk::Chunk() noexcept : Chunk(static_cast<File*>(nullptr), 0) {}

Chunk::Chunk(Object& owner, std::uint64_t offset) noexcept
    : Chunk(File::is(owner) ? static_cast<File*>(&owner) : nullptr, offset) {}

Chunk::Chunk(File* owner, std::uint64_t offset) noexcept
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
    const std::uint64_t at = offset64();
    if (at > 0xFFFFFFFFu) fail<std::invalid_argument>("Chunk offset past 4 GiB!");
    return static_cast<std::uint32_t>(at);
}

std::uint32_t Chunk::length() {
    const std::uint64_t n = length64();
    if (n > 0xFFFFFFFFu) fail<std::invalid_argument>("Chunk length past 4 GiB!");
    return static_cast<std::uint32_t>(n);
}

std::uint64_t Chunk::offset64() {
    requireParent();
    return position;
}

std::uint64_t Chunk::length64() {
    requireParent();
    unsigned char header[24];
    // A header the stream cannot deliver reads as zeros: a length of 0.
    if (!parent->read(position, parent->headerBytes(), header) && parent->family() == Family::Wave64) return 0;
    return parent->declared(header);
}

std::uint64_t Chunk::dataEnd() {
    requireParent();
    unsigned char header[24];
    parent->read(position, parent->headerBytes(), header);
    // In Tav's convention a list's length leaves out its list type; the form is
    // the list at the form's start.
    const bool uncounted = parent->convention == Convention::Tav && (position == 0 || parent->listAt(header));
    return position + parent->headerBytes() + length64() + (uncounted ? 4 : 0);
}

const FourCC Chunk::type() {
    requireParent();
    unsigned char id[16];
    parent->read(position, parent->typeBytes(), id);
    return parent->code(id);
}

std::array<unsigned char, 16> Chunk::guid() {
    requireParent();
    std::array<unsigned char, 16> id{};
    parent->read(position, parent->typeBytes(), id.data());
    return id;
}

const char* Chunk::open() {
    requireParent();
    if (buffer) fail<std::invalid_argument>("Chunk already open!");
    const std::uint64_t n = length64();
    const unsigned header = parent->headerBytes();
    // Never allocate more than the stream can deliver: a corrupt length field
    // could otherwise ask for gigabytes.
    if (n > parent->extent() || position + header + n > parent->extent() || n > SIZE_MAX - 64)
        fail<std::invalid_argument>("Chunk data past end of stream!");
    char* data = detail::allocateBuffer(static_cast<std::size_t>(n));
    parent->read(position + header, static_cast<std::size_t>(n), data);
    buffer = data;
    return buffer;
}

std::size_t Chunk::read(std::uint64_t at, void* out, std::size_t bytes) {
    const std::uint64_t n = length64();
    if (at >= n) return 0;
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(bytes, n - at));
    std::istream& stream = *parent->stream;
    parent->read(position + parent->headerBytes() + at, count, out);
    return static_cast<std::size_t>(stream.gcount());
}

void Chunk::close() {
    requireParent();
    if (!buffer) fail<std::invalid_argument>("Chunk is not open!");
    detail::releaseBuffer(buffer);
    buffer = nullptr;
}

}  // namespace Tav::Format::RIFF

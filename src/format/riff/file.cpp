// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <tav/format/riff/file.hpp>

#include <cstring>
#include <stdexcept>

#include "detail/bytes.hpp"
#include "detail/fail.hpp"

namespace Tav::Format::RIFF {

using Tav::detail::fail;

File::File() noexcept : List(), stream(nullptr), begin(0), end(0) { stamp("TFrmtRIFFFi", 28); }

File::File(std::istream& source) : File(source, Convention::Tav) {}

File::File(std::istream& source, Convention layout)
    : List(), stream(&source), begin(0), end(0), convention(layout) {
    // The tag is written before the children load, so that they accept the file as parent.
    stamp("TFrmtRIFFFi", 28);
    position = 0;
    parent = this;
    if (!source.good())
        fail<std::invalid_argument>("Tav::Format::RIFF::File::constructor: Input stream not good!");

    begin = source.tellg();
    source.seekg(0, std::ios::end);
    end = source.tellg();
    source.seekg(begin);

    char signature[4];
    if (!read(0, 4, signature) || std::memcmp(signature, "RIFF", 4) != 0)
        fail<std::invalid_argument>("Tav::Format::RIFF::File::constructor: Invalid RIFF signature!");

    unsigned char field[4];
    read(4, 4, field);
    const std::int64_t length = Tav::detail::loadLE32(field);
    // In Tav's convention the length counts the bytes after the form type, so the
    // stream holds exactly length + 12 bytes. In the published one it counts the
    // form type too, and files in the world differ from length + 8: bytes may
    // follow the form (a tag, a second form), and a file written to a pipe or cut
    // short is shorter than its length says. The form is read as far as the
    // stream holds it; only a length too short for the form type is refused.
    const std::int64_t streamBytes = static_cast<std::streamoff>(end - begin);
    const bool fits = convention == Convention::Tav ? streamBytes - 12 == length : length >= 4;
    if (!fits) fail<std::invalid_argument>("Tav::Format::RIFF::File::constructor: Malformed RIFF length!");

    load();
}

File::~File() { stream = nullptr; }

bool File::read(std::uint32_t offset, std::uint32_t length, void* out) {
    if (!stream) fail<std::invalid_argument>("Unparented chunk!");
    const std::uint32_t at = offset + position;
    stream->seekg(std::streampos(static_cast<std::streamoff>(at)));
    stream->read(static_cast<char*>(out), static_cast<std::streamsize>(length));
    // A short read leaves no stale or uninitialised bytes behind.
    const auto got = static_cast<std::uint32_t>(stream->gcount());
    if (got < length) std::memset(static_cast<char*>(out) + got, 0, length - got);
    return stream->good();
}

bool File::is(const Object& object) noexcept {
    return std::strncmp(object.tag, "TFrmtRIFFFi", sizeof object.tag) == 0;
}

std::uint64_t File::extent() const noexcept {
    const std::streamoff bytes = end;
    return bytes > 0 ? static_cast<std::uint64_t>(bytes) : 0;
}

}  // namespace Tav::Format::RIFF

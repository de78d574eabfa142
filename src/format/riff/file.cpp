// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <tav/format/riff/file.hpp>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "detail/bytes.hpp"
#include "detail/fail.hpp"

namespace Tav::Format::RIFF {

using Tav::detail::fail;

File::File() noexcept : List(), stream(nullptr), begin(0), end(0) { stamp("TFrmtRIFFFi", 28); }

File::File(std::istream& source) : File(source, Convention::Tav) {}

File::File(std::istream& source, Convention layout) : File(source, layout, 0, true) {}

File::File(std::istream& source, Convention layout, std::uint64_t offset) : File(source, layout, offset, false) {}

File::File(std::istream& source, Convention layout, std::uint64_t offset, bool fromPosition)
    : List(), stream(&source), begin(0), end(0), base(offset), convention(layout) {
    // The tag is written before the children load, so that they accept the file as parent.
    stamp("TFrmtRIFFFi", 28);
    position = 0;
    parent = this;
    if (!source.good())
        fail<std::invalid_argument>("Tav::Format::RIFF::File::constructor: Input stream not good!");

    const std::streampos here = source.tellg();
    source.seekg(0, std::ios::end);
    end = source.tellg();
    source.seekg(here);
    begin = fromPosition ? here : std::streampos(static_cast<std::streamoff>(offset));

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
    stream->seekg(std::streampos(static_cast<std::streamoff>(base + at)));
    stream->read(static_cast<char*>(out), static_cast<std::streamsize>(length));
    // A short read leaves no stale or uninitialised bytes behind.
    const auto got = static_cast<std::uint32_t>(stream->gcount());
    if (got < length) std::memset(static_cast<char*>(out) + got, 0, length - got);
    return stream->good();
}

bool File::is(const Object& object) noexcept {
    return std::strncmp(object.tag, "TFrmtRIFFFi", sizeof object.tag) == 0;
}

std::uint64_t File::origin() const noexcept { return base; }

std::uint64_t File::limit() {
    requireParent();
    const std::uint64_t size = extent();
    const bool published = convention == Convention::Published;
    std::uint64_t form = std::min<std::uint64_t>(std::uint64_t{length()} + (published ? 8 : 12), size);
    // A writer that counted the RIFF length short still wrote its last chunk
    // whole: that chunk, and its pad byte where the stream has it, are the form's.
    if (const std::int32_t children = count(); published && children > 0) {
        Chunk& last = (*this)[static_cast<std::uint32_t>(children - 1)];
        const std::uint32_t n = last.length();
        form = std::max(form, std::min<std::uint64_t>(std::uint64_t{last.offset()} + 8 + n + (n & 1), size));
    }
    return base + form;
}

std::uint64_t File::next() {
    const std::uint64_t at = limit();
    // Only a header the constructor accepts counts as a form: "RIFF", and a
    // length with room for the form type (a Tav form fills its stream, so none
    // follows it).
    unsigned char header[8];
    if (convention != Convention::Published || at - base + 12 > extent()) return 0;
    stream->seekg(std::streampos(static_cast<std::streamoff>(at)));
    if (!stream->read(reinterpret_cast<char*>(header), sizeof header)) return 0;
    return std::memcmp(header, "RIFF", 4) == 0 && Tav::detail::loadLE32(header + 4) >= 4 ? at : 0;
}

std::uint64_t File::extent() const noexcept {
    const std::streamoff bytes = end;
    return bytes > 0 && static_cast<std::uint64_t>(bytes) > base ? static_cast<std::uint64_t>(bytes) - base : 0;
}

}  // namespace Tav::Format::RIFF

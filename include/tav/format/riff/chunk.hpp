// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include <tav/core/object.hpp>
#include <tav/export.hpp>
#include <tav/format/fourcc.hpp>

namespace Tav::Format::RIFF {

class File;
class List;

/// A view of one chunk of a RIFF file: its file and the offset of its header
/// from the form's (from the stream's beginning, for a stream's first form).
/// Nothing of the header is cached; every query reads the file anew.
///
/// The file's stream must outlive the file and every chunk made from it.
/// Failures are thrown as pointers to new std::invalid_argument objects, which
/// the catcher deletes.
class TAV_API Chunk : public Object {
public:
    /// An unparented chunk: every operation throws "Unparented chunk!".
    Chunk() noexcept;
    /// The chunk whose header stands at `offset` in the stream of `parent`. The
    /// chunk is parented only when `parent` is exactly a RIFF File (File::is).
    Chunk(Object& parent, std::uint64_t offset) noexcept;
    /// A copy of an open chunk shares its buffer; the last holder releases it.
    Chunk(const Chunk& other) noexcept;
    Chunk& operator=(const Chunk&) = delete;
    ~Chunk();

    /// The offset of the chunk's header from its form's header (File::origin()).
    /// Throws "Chunk offset past 4 GiB!" where it does not fit: see offset64().
    std::uint32_t offset();
    /// The data length n; 0 when the stream cannot deliver the length field.
    /// Throws "Chunk length past 4 GiB!" where it does not fit: see length64().
    std::uint32_t length();
    /// The offset, whatever its size.
    std::uint64_t offset64();
    /// The data length, whatever its size: the length field; an RF64 or BW64
    /// chunk's 64-bit length where its field holds 0xFFFFFFFF and its "ds64"
    /// table has one for its id; a Wave64 chunk's size less its 24-byte header.
    std::uint64_t length64();
    /// Where the chunk's data ends, from its form's header: after its header and
    /// n bytes (and, for a list in Tav's convention, its list type, which n does
    /// not count). Any pad byte follows.
    std::uint64_t dataEnd();
    /// The chunk id; all zero bytes when the stream cannot deliver it. A Wave64
    /// chunk's id is its GUID's RIFF code where the GUID is one registered for
    /// a RIFF code ("fmt ", "data", "riff" ...), all zero bytes otherwise: see
    /// guid().
    const FourCC type();
    /// The chunk's 16-byte GUID in a Wave64 file; elsewhere its four-byte id
    /// followed by twelve zero bytes.
    std::array<unsigned char, 16> guid();
    /// Reads the n data bytes into a buffer of the chunk's own. No terminating
    /// zero is added. Throws when the data would reach past the stream's end, or
    /// would not fit the address space ("Chunk data past end of stream!").
    const char* open();
    /// Reads up to `bytes` bytes of the data from `at` into `out`, for data too
    /// large to open() whole: as many as the data holds from there and the
    /// stream delivers. Returns the number read.
    std::size_t read(std::uint64_t at, void* out, std::size_t bytes);
    /// Releases the buffer open() read (shared copies keep it until the last goes).
    void close();

protected:
    friend class List;  ///< a list creates its children on its own file

    /// A chunk of `parent`, trusted to be a RIFF File.
    Chunk(File* parent, std::uint64_t offset) noexcept;
    /// Throws "Unparented chunk!" for a chunk without a file.
    void requireParent() const;

    char* buffer;             ///< data read by open(); none while closed
    std::uint64_t position;   ///< offset of the header from the form's header
    File* parent;             ///< the file every read goes through; none if unparented
};

}  // namespace Tav::Format::RIFF

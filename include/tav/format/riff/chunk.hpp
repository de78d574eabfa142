// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

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
    Chunk(Object& parent, std::uint32_t offset) noexcept;
    /// A copy of an open chunk shares its buffer; the last holder releases it.
    Chunk(const Chunk& other) noexcept;
    Chunk& operator=(const Chunk&) = delete;
    ~Chunk();

    /// The offset of the chunk's header from its form's header (File::origin()).
    std::uint32_t offset();
    /// The data length n; 0 when the stream cannot deliver the length field.
    std::uint32_t length();
    /// The chunk id; all zero bytes when the stream cannot deliver it.
    const FourCC type();
    /// Reads the n data bytes into a buffer of the chunk's own. No terminating
    /// zero is added. Throws when the data would reach past the stream's end.
    const char* open();
    /// Releases the buffer open() read (shared copies keep it until the last goes).
    void close();

protected:
    friend class List;  ///< a list creates its children on its own file

    /// A chunk of `parent`, trusted to be a RIFF File.
    Chunk(File* parent, std::uint32_t offset) noexcept;
    /// Throws "Unparented chunk!" for a chunk without a file.
    void requireParent() const;

    char* buffer;             ///< data read by open(); none while closed
    std::uint32_t position;   ///< offset of the header from the form's header
    File* parent;             ///< the file every read goes through; none if unparented
};

}  // namespace Tav::Format::RIFF

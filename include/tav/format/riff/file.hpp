// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <cstdint>
#include <istream>

#include <tav/export.hpp>
#include <tav/format/riff/list.hpp>

namespace Tav::Format::RIFF {

namespace detail {
class Window;
}

/// How the lengths of a RIFF file's "RIFF" and "LIST" chunks count, and whether
/// pad bytes follow odd chunks.
enum class Convention {
    /// Tav's own: the RIFF and LIST lengths count the bytes after the form or
    /// list type (a file's RIFF length is its size - 12), and no pad byte follows
    /// a chunk of odd length. Container and locale files are written so.
    Tav,
    /// The published convention of WAV, AVI, WebP, ANI and RMI files: the RIFF
    /// and LIST lengths count the form or list type too (a file's RIFF length is
    /// its size - 8), and each chunk of odd length is followed by one pad byte
    /// that its length does not count, so that chunks start at even offsets.
    /// Read as the world writes such files: a pad byte missing at the end of the
    /// file, or after an odd list (whose last child lacks its own), is
    /// tolerated; bytes after the form (a tag, a second form) are not part of
    /// it; a RIFF length larger than the stream (a file cut short, a streaming
    /// writer's placeholder) is read up to the stream's end, and a chunk running
    /// past that end keeps its declared length, its open() refusing.
    Published,
};

/// RIFF data held in a caller's input stream: the outermost list of the tree.
///
/// In Tav's convention (File(stream)) the length field counts the bytes after
/// the form type, so the stream holds exactly length + 12 bytes, and no pad byte
/// follows a chunk of odd length. In the published convention of WAV, AVI and
/// WebP (File(stream, Convention::Published)) it counts the form type too, so
/// the stream holds length + 8 bytes, and odd chunks are padded (Convention).
/// The file holds the stream by reference only: the stream must outlive the file
/// and every chunk, list and node made from it, and must not be used by another
/// thread meanwhile. Hand the stream over at its beginning: the length is checked
/// against the bytes from the stream's position at hand-over to its end, while
/// every read addresses the stream from its beginning.
///
/// Stream exceptions: with the stream's exceptions() switched on, a read the
/// stream fails throws the stream's std::ios_base::failure by value (it is not one
/// of the library's pointers), from any call that reads the stream: the
/// constructors of File, Ostrane::File and International::Locale, File::read,
/// Chunk::length, type and open, List::type, Ostrane::File::operator[], and
/// Ostrane::Node::name and open. A constructor that throws releases what it had
/// loaded. With exceptions off (the default) a short read gives zero bytes, as
/// the operations document:
///
///     std::ifstream in(path, std::ios::binary);  // exceptions off
///     Tav::Format::RIFF::File file(in);
///
/// std::bad_alloc passes through by value from any call that allocates.
class TAV_API File : public List {
public:
    /// An empty file without stream: unparented, with no children.
    File() noexcept;
    /// Validates the stream's state, the "RIFF" signature and the length field,
    /// then loads the whole chunk tree. Failures are thrown as pointers to new
    /// std::invalid_argument objects.
    explicit File(std::istream& stream);
    /// The same for a file in the given convention; with Convention::Tav exactly
    /// the constructor above. With Convention::Published the RIFF length must
    /// leave room for the form type ("Malformed RIFF length!" otherwise). Chunk::length()
    /// is the length field in both conventions: a published list's length counts
    /// its list type. The container layer (Ostrane::File, Locale) reads Tav's
    /// convention only.
    ///
    ///     std::ifstream in("sound.wav", std::ios::binary);
    ///     Tav::Format::RIFF::File wav(in, Tav::Format::RIFF::Convention::Published);
    ///     // wav.type() is "WAVE"; wav[0] is the "fmt " chunk, wav[1] "data".
    File(std::istream& stream, Convention convention);
    /// The form whose "RIFF" header stands `offset` bytes from the stream's
    /// beginning, with the same checks: a stream may hold several forms one after
    /// another (an OpenDML AVI's "AVIX" forms after its "AVI " form, a second form
    /// appended to a WebP), each read as a File of its own. The offsets of its
    /// chunks, and of read(), count from its header, so a form past 4 GiB reads as
    /// the first one does; origin() says where it stands. In Tav's convention the
    /// form fills the stream from `offset` to its end. With offset 0 this is the
    /// constructor above.
    ///
    ///     std::ifstream in("film.avi", std::ios::binary);
    ///     const auto published = Tav::Format::RIFF::Convention::Published;
    ///     for (std::uint64_t at = 0;;) {
    ///         Tav::Format::RIFF::File form(in, published, at);  // "AVI ", then "AVIX"...
    ///         // form[i].offset() + form.origin() is where chunk i stands in the file.
    ///         if ((at = form.next()) == 0) break;
    ///     }
    File(std::istream& stream, Convention convention, std::uint64_t offset);
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    /// Reads `length` bytes at `offset` from the form's header (the stream's
    /// beginning, for the first form) into `buffer`. Returns the stream's good()
    /// afterwards. Bytes the stream did not deliver are set to zero. Never clears
    /// the stream's error state.
    bool read(std::uint32_t offset, std::uint32_t length, void* buffer);

    /// Where the form's "RIFF" header stands, from the stream's beginning: 0 but
    /// for a form opened at an offset (and for an unparented file).
    std::uint64_t origin() const noexcept;
    /// Where the form ends, from the stream's beginning, never past the stream's
    /// end: after its RIFF length, or after its last chunk and that chunk's pad
    /// byte where a writer counted the length short. The bytes from here on are
    /// not the form's (another form, a tag); a form in Tav's convention fills its
    /// stream.
    std::uint64_t limit();
    /// Where the next form of the stream stands: limit(), where a "RIFF" header
    /// that the constructor accepts stands there; 0 where none does (the stream
    /// ends, or other bytes follow). The form's chunks may still be refused, as
    /// any form's are ("Overlapping chunks!").
    std::uint64_t next();

    /// Whether `object` is exactly a RIFF File (its type tag).
    static bool is(const Object& object) noexcept;

private:
    /// The form at `offset`; its length is checked against the bytes from the
    /// stream's position at hand-over (`fromPosition`) or from `offset` to the end.
    File(std::istream& stream, Convention convention, std::uint64_t offset, bool fromPosition);

    friend class Chunk;
    friend class List;
    friend class detail::Window;

    /// Bytes from the form's header to the stream's end, as found at construction.
    std::uint64_t extent() const noexcept;

    std::istream* stream;
    std::streampos begin;
    std::streampos end;
    std::uint64_t base = 0;  ///< where the form's header stands in the stream
    Convention convention = Convention::Tav;  ///< how the lists of this file were laid out
};

}  // namespace Tav::Format::RIFF

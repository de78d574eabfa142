// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <cstdint>
#include <istream>
#include <utility>
#include <vector>

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

/// The members of the RIFF family that a File reads in the published convention
/// (Tav's convention reads RIFF only). All of them are walked with the same
/// classes; where a length or offset does not fit 32 bits, the 64-bit operations
/// (Chunk::offset64, length64, read) reach it.
enum class Family {
    /// "RIFF": little-endian 32-bit lengths.
    RIFF,
    /// "RIFX": RIFF with every length field big-endian; codes are bytes as in RIFF.
    RIFX,
    /// "RF64" (EBU Tech 3306): RIFF whose first chunk, "ds64", holds the 64-bit
    /// lengths of the form, of its "data" chunk and a table of other chunks'.
    /// A length field of 0xFFFFFFFF takes its length from there.
    RF64,
    /// "BW64" (ITU-R BS.2088): the RF64 layout under its own signature.
    BW64,
    /// Sony Wave64: 16-byte GUID identifiers, 64-bit little-endian sizes that
    /// count the chunk's 24-byte header, chunks aligned to 8 bytes. Its
    /// registered GUIDs of a RIFF code show as that code (Chunk::type); every
    /// chunk but the form is read as data, so a "list" chunk shows whole.
    Wave64,
};

/// What a stream is: its family and the length convention to read it in.
struct Kind {
    Family family;          ///< the member of the family its signature names
    Convention convention;  ///< the convention to read it in (File's constructor)
};

/// Finds what the stream, handed over at its beginning, holds, so that a
/// caller can read a WAV without knowing what it is:
///
///     std::ifstream in(path, std::ios::binary);
///     const Tav::Format::RIFF::Kind kind = Tav::Format::RIFF::identify(in);
///     Tav::Format::RIFF::File file(in, kind.convention);  // RIFF, RIFX, RF64, BW64 or Wave64
///
/// Every member but RIFF is in the published convention. A RIFF stream is in
/// Tav's convention where its RIFF length is the stream's size - 12 and its
/// chunks cover the stream exactly read so, or where Tav's convention reads it
/// and neither convention's chunks cover it; otherwise in the published one (a
/// length that fits Tav's is no proof alone: a published writer that counts 4
/// bytes too few makes one).
/// Leaves the stream where it was handed over, its state cleared. Throws what
/// File's constructor throws for a stream that no convention reads, and
/// "Tav::Format::RIFF::identify: Input stream not good!" for a stream handed
/// over in a failed state, which it leaves so.
TAV_API Kind identify(std::istream& stream);

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
    /// the constructor above. With Convention::Published the stream may be any
    /// member of the family (Family), and the RIFF length must leave room for
    /// the form type ("Malformed RIFF length!" otherwise); an RF64 or BW64 stream
    /// must begin with a "ds64" chunk that holds its table ("Malformed ds64
    /// chunk!"). Chunk::length()
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
    bool read(std::uint64_t offset, std::size_t length, void* buffer);

    /// The member of the family the stream holds: Family::RIFF for a file read
    /// in Tav's convention.
    Family family() const noexcept;

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
    friend struct detail::Load;

    /// Bytes from the form's header to the stream's end, as found at construction.
    std::uint64_t extent() const noexcept;
    /// Bytes of a chunk header: 24 for Wave64, 8 for the others.
    unsigned headerBytes() const noexcept;
    /// Bytes of a form or list type: 16 for Wave64, 4 for the others.
    unsigned typeBytes() const noexcept;
    /// The code a chunk id read at `id` (16 bytes for Wave64, 4 otherwise) shows as.
    FourCC code(const unsigned char* id) const noexcept;
    /// The data length a chunk header read at `header` declares: the length
    /// field, a Wave64 size less its header, or an RF64 placeholder's length.
    std::uint64_t declared(const unsigned char* header) const;
    /// Whether a chunk with this header is a list.
    bool listAt(const unsigned char* header) const noexcept;
    /// Bytes that follow a chunk of data length n before the next: a published
    /// odd chunk's pad byte, a Wave64 chunk's alignment.
    std::uint64_t pad(std::uint64_t n) const noexcept;
    /// Reads an RF64 or BW64 stream's "ds64" table.
    void loadSizes();

    std::istream* stream;
    std::streampos begin;
    std::streampos last;  ///< the stream's end
    std::uint64_t base = 0;  ///< where the form's header stands in the stream
    Convention convention = Convention::Tav;  ///< how the lists of this file were laid out
    Family kin = Family::RIFF;                ///< the member of the family read
    /// An RF64 file's 64-bit lengths by chunk id ("ds64"): the form's, "data"'s,
    /// then the table's, first match first.
    std::vector<std::pair<std::uint32_t, std::uint64_t>> sizes;
};

}  // namespace Tav::Format::RIFF

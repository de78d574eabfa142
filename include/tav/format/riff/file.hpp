#pragma once

#include <cstdint>
#include <istream>

#include <tav/export.hpp>
#include <tav/format/riff/list.hpp>

namespace Tav::Format::RIFF {

namespace detail {
class Window;
}

/// RIFF data held in a caller's input stream: the outermost list of the tree.
///
/// The length field counts the bytes after the form type, so the stream holds
/// exactly length + 12 bytes, and no pad byte follows a chunk of odd length.
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
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    /// Reads `length` bytes at `offset` from the stream's beginning into `buffer`.
    /// Returns the stream's good() afterwards. Bytes the stream did not deliver
    /// are set to zero. Never clears the stream's error state.
    bool read(std::uint32_t offset, std::uint32_t length, void* buffer);

    /// Whether `object` is exactly a RIFF File (its type tag).
    static bool is(const Object& object) noexcept;

private:
    friend class Chunk;
    friend class detail::Window;

    /// Bytes from the stream's beginning to its end, as found at construction.
    std::uint64_t extent() const noexcept;

    std::istream* stream;
    std::streampos begin;
    std::streampos end;
};

}  // namespace Tav::Format::RIFF

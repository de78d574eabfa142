#include "format/riff/loader.hpp"

#include <algorithm>
#include <cstring>
#include <istream>
#include <stdexcept>

#include <tav/format/riff/file.hpp>

#include "detail/bytes.hpp"
#include "detail/fail.hpp"

namespace Tav::Format::RIFF::detail {

namespace {
constexpr std::size_t blockBytes = 64 * 1024;
constexpr std::uint64_t headerBytes = 8;
}  // namespace

Loader::Loader(File& f) : file(f), extent(f.extent()), room(extent / headerBytes + 1) {}

bool Loader::header(std::uint32_t offset, FourCC& id, std::uint32_t& length) {
    if (broken || offset + headerBytes > extent) return false;
    if (offset < windowStart || offset + headerBytes > windowStart + window.size()) {
        if (!fill(offset)) return false;
    }
    const unsigned char* at = window.data() + (offset - windowStart);
    std::memcpy(id.chars, at, 4);
    length = Tav::detail::loadLE32(at + 4);
    lastEnd = offset + headerBytes;
    return true;
}

bool Loader::fill(std::uint64_t offset) {
    std::istream& s = *file.stream;
    const auto bytes = static_cast<std::size_t>(std::min<std::uint64_t>(blockBytes, extent - offset));
    window.resize(bytes);
    windowStart = offset;
    s.seekg(std::streampos(static_cast<std::streamoff>(offset)));
    s.read(reinterpret_cast<char*>(window.data()), static_cast<std::streamsize>(bytes));
    if (!s.good()) {
        broken = true;
        window.clear();
    }
    return !broken;
}

void Loader::admit() {
    if (room == 0) Tav::detail::fail<std::invalid_argument>("Overlapping chunks!");
    --room;
}

void Loader::finish() {
    std::istream& s = *file.stream;
    if (lastEnd != 0 && s.good()) s.seekg(std::streampos(static_cast<std::streamoff>(lastEnd)));
}

}  // namespace Tav::Format::RIFF::detail

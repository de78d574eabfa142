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

File::File() noexcept : List(), stream(nullptr), begin(0), last(0) { stamp("TFrmtRIFFFi", 28); }

File::File(std::istream& source) : File(source, Convention::Tav) {}

File::File(std::istream& source, Convention layout) : File(source, layout, 0, true) {}

File::File(std::istream& source, Convention layout, std::uint64_t offset) : File(source, layout, offset, false) {}

namespace {

const char* const badLength = "Tav::Format::RIFF::File::constructor: Malformed RIFF length!";

// Wave64's GUIDs for RIFF codes: the code's four bytes, then one of these tails
// ("riff", "list", and the rest: "wave", "fmt ", "data" ...).
constexpr unsigned char riffTail[12] = {0x2E, 0x91, 0xCF, 0x11, 0xA5, 0xD6, 0x28, 0xDB, 0x04, 0xC1, 0x00, 0x00};
constexpr unsigned char listTail[12] = {0x2F, 0x91, 0xCF, 0x11, 0xA5, 0xD6, 0x28, 0xDB, 0x04, 0xC1, 0x00, 0x00};
constexpr unsigned char codeTail[12] = {0xF3, 0xAC, 0xD3, 0x11, 0x8C, 0xD1, 0x00, 0xC0, 0x4F, 0x8E, 0xDB, 0x8A};

// The member of the family a signature names: `head` holds the first 4 bytes,
// and 16 where the first 4 are Wave64's "riff"; false for none.
bool familyOf(const unsigned char* head, Family& family) {
    constexpr const char* signatures[] = {"RIFF", "RIFX", "RF64", "BW64"};
    for (int i = 0; i < 4; ++i) {
        if (std::memcmp(head, signatures[i], 4) == 0) {
            family = static_cast<Family>(i);
            return true;
        }
    }
    family = Family::Wave64;
    return std::memcmp(head, "riff", 4) == 0 && std::memcmp(head + 4, riffTail, sizeof riffTail) == 0;
}

}  // namespace

File::File(std::istream& source, Convention layout, std::uint64_t offset, bool fromPosition)
    : List(), stream(&source), begin(0), last(0), base(offset), convention(layout) {
    // The tag is written before the children load, so that they accept the file as parent.
    stamp("TFrmtRIFFFi", 28);
    position = 0;
    parent = this;
    if (!source.good())
        fail<std::invalid_argument>("Tav::Format::RIFF::File::constructor: Input stream not good!");

    const std::streampos here = source.tellg();
    source.seekg(0, std::ios::end);
    last = source.tellg();
    source.seekg(here);
    begin = fromPosition ? here : std::streampos(static_cast<std::streamoff>(offset));

    // Tav's convention reads RIFF only; the published one the whole family.
    // Only the bytes each step needs are read: a stream just long enough for a
    // RIFF header must not fail for a Wave64 one.
    unsigned char head[24] = {};
    const bool delivered = read(0, 4, head) && (std::memcmp(head, "riff", 4) != 0 || read(4, 12, head + 4));
    if (!delivered || !familyOf(head, kin) || (kin != Family::RIFF && convention == Convention::Tav))
        fail<std::invalid_argument>("Tav::Format::RIFF::File::constructor: Invalid RIFF signature!");
    if (kin == Family::RF64 || kin == Family::BW64) loadSizes();

    // In Tav's convention the length counts the bytes after the form type, so the
    // stream holds exactly length + 12 bytes. In the published one it counts the
    // form type too, and files in the world differ from length + 8: bytes may
    // follow the form (a tag, a second form), and a file written to a pipe or cut
    // short is shorter than its length says. The form is read as far as the
    // stream holds it; only a length too short for the form type is refused.
    // A stream too short for its own length field is no form, cut or not.
    if (!read(4, headerBytes() - 4, head + 4)) fail<std::invalid_argument>(badLength);
    const std::uint64_t streamBytes = static_cast<std::uint64_t>(static_cast<std::streamoff>(last - begin));
    if (kin == Family::Wave64 && Tav::detail::loadLE64(head + 16) < 24 + 16) fail<std::invalid_argument>(badLength);
    const std::uint64_t length = declared(head);
    const bool fits = convention == Convention::Tav ? streamBytes >= 12 && streamBytes - 12 == length
                                                    : length >= typeBytes();
    if (!fits) fail<std::invalid_argument>(badLength);

    load();
}

void File::loadSizes() {
    // "ds64": the form's size, the data size, the sample count, the table's
    // length, then its entries of an id and a 64-bit size each.
    constexpr const char* malformed = "Tav::Format::RIFF::File::constructor: Malformed ds64 chunk!";
    unsigned char ds64[8 + 28];
    if (!read(12, sizeof ds64, ds64) || std::memcmp(ds64, "ds64", 4) != 0 || Tav::detail::loadLE32(ds64 + 4) < 28)
        fail<std::invalid_argument>(malformed);
    // The table is held in memory: it must lie within the chunk and the stream.
    const std::uint64_t entries = Tav::detail::loadLE32(ds64 + 8 + 24);
    const std::uint64_t tableAt = 12 + sizeof ds64;
    if (entries > (Tav::detail::loadLE32(ds64 + 4) - 28) / 12 || tableAt + 12 * entries > extent())
        fail<std::invalid_argument>(malformed);
    std::uint32_t id;
    std::memcpy(&id, kin == Family::RF64 ? "RF64" : "BW64", 4);
    std::uint32_t data;
    std::memcpy(&data, "data", 4);
    sizes = {{id, Tav::detail::loadLE64(ds64 + 8)}, {data, Tav::detail::loadLE64(ds64 + 16)}};
    for (std::uint64_t i = 0; i < entries; ++i) {
        unsigned char entry[12];
        if (!read(tableAt + 12 * i, sizeof entry, entry)) fail<std::invalid_argument>(malformed);
        std::memcpy(&id, entry, 4);
        sizes.emplace_back(id, Tav::detail::loadLE64(entry + 4));
    }
}

File::~File() { stream = nullptr; }

bool File::read(std::uint64_t offset, std::size_t length, void* out) {
    if (!stream) fail<std::invalid_argument>("Unparented chunk!");
    stream->seekg(std::streampos(static_cast<std::streamoff>(base + position + offset)));
    stream->read(static_cast<char*>(out), static_cast<std::streamsize>(length));
    // A short read leaves no stale or uninitialised bytes behind.
    const auto got = static_cast<std::size_t>(stream->gcount());
    if (got < length) std::memset(static_cast<char*>(out) + got, 0, length - got);
    return stream->good();
}

Family File::family() const noexcept { return kin; }

bool File::is(const Object& object) noexcept {
    return std::strncmp(object.tag, "TFrmtRIFFFi", sizeof object.tag) == 0;
}

std::uint64_t File::origin() const noexcept { return base; }

std::uint64_t File::limit() {
    requireParent();
    const std::uint64_t size = extent();
    std::uint64_t form = std::min(dataEnd(), size);
    // A writer that counted the RIFF length short still wrote its last chunk
    // whole: that chunk, and its pad byte where the stream has it, are the form's.
    if (const std::int32_t children = count(); convention == Convention::Published && children > 0) {
        Chunk& last = (*this)[static_cast<std::uint32_t>(children - 1)];
        form = std::max(form, std::min(last.dataEnd() + pad(last.length64()), size));
    }
    return base + form;
}

std::uint64_t File::next() {
    const std::uint64_t at = limit();
    // Only a header the constructor accepts counts as a form: the signature of
    // this one (RIFF or RIFX; RF64 and Wave64 forms stand alone), and a length
    // with room for the form type (a Tav form fills its stream, so none follows it).
    unsigned char header[8];
    const bool repeats = kin == Family::RIFF || kin == Family::RIFX;
    if (convention != Convention::Published || !repeats || at - base + 12 > extent()) return 0;
    stream->seekg(std::streampos(static_cast<std::streamoff>(at)));
    if (!stream->read(reinterpret_cast<char*>(header), sizeof header)) return 0;
    char signature[4];
    read(0, 4, signature);
    return std::memcmp(header, signature, 4) == 0 && declared(header) >= 4 ? at : 0;
}

std::uint64_t File::extent() const noexcept {
    const std::streamoff bytes = last;
    return bytes > 0 && static_cast<std::uint64_t>(bytes) > base ? static_cast<std::uint64_t>(bytes) - base : 0;
}

unsigned File::headerBytes() const noexcept { return kin == Family::Wave64 ? 24 : 8; }

unsigned File::typeBytes() const noexcept { return kin == Family::Wave64 ? 16 : 4; }

FourCC File::code(const unsigned char* id) const noexcept {
    FourCC code{};
    const bool registered = kin != Family::Wave64 || std::memcmp(id + 4, riffTail, 12) == 0 ||
                            std::memcmp(id + 4, listTail, 12) == 0 || std::memcmp(id + 4, codeTail, 12) == 0;
    if (registered) std::memcpy(code.chars, id, 4);
    return code;
}

std::uint64_t File::declared(const unsigned char* header) const {
    if (kin == Family::Wave64) {
        const std::uint64_t size = Tav::detail::loadLE64(header + 16);
        if (size < 24) fail<std::invalid_argument>("Malformed Wave64 chunk size!");
        return size - 24;
    }
    const std::uint32_t field = kin == Family::RIFX ? Tav::detail::loadBE32(header + 4) : Tav::detail::loadLE32(header + 4);
    if (field == 0xFFFFFFFFu) {
        std::uint32_t id;
        std::memcpy(&id, header, 4);
        for (const auto& [owner, size] : sizes)
            if (owner == id) return size;
    }
    return field;
}

bool File::listAt(const unsigned char* header) const noexcept {
    return kin != Family::Wave64 && std::memcmp(header, "LIST", 4) == 0;
}

std::uint64_t File::pad(std::uint64_t n) const noexcept {
    if (kin == Family::Wave64) return (0 - n) & 7;
    return convention == Convention::Published ? n & 1 : 0;
}

namespace {

// Whether a list's chunks, and the pad bytes a published file may give them,
// cover its bytes up to `end` exactly.
bool tiles(List& list, bool published, std::uint64_t end) {
    const std::int32_t count = list.count();
    for (std::int32_t i = 0; i < count; ++i) {
        Chunk& child = list[static_cast<std::uint32_t>(i)];
        const std::uint64_t n = child.length64();
        const std::uint64_t childEnd = child.dataEnd();
        const std::uint64_t next = i + 1 < count ? list[static_cast<std::uint32_t>(i + 1)].offset64() : end;
        // A published odd chunk's pad byte may be missing where its list ends,
        // and after an odd list (whose own last child lacks its pad).
        const std::uint64_t pad = published && (n & 1) ? 1 : 0;
        if (childEnd > next || next - childEnd > pad) return false;
        if (List::is(child) && !tiles(static_cast<List&>(child), published, childEnd)) return false;
    }
    return count > 0 || end == list.offset64() + 12;
}

// How well a convention reads the stream: its constructor refuses it, it reads
// it, or it reads it and the chunks cover the stream exactly, whatever its RIFF
// length says.
enum class Fit { refused, read, tiled };

Fit fitOf(std::istream& stream, std::streampos here, std::uint64_t size, Convention convention) {
    stream.clear();
    stream.seekg(here);
    try {
        File file(stream, convention);
        return tiles(file, convention == Convention::Published, size) ? Fit::tiled : Fit::read;
    } catch (std::exception* e) {
        delete e;
    }
    return Fit::refused;
}

}  // namespace

Kind identify(std::istream& stream) {
    // A stream already failed is refused as it stands: its state is the caller's.
    if (!stream.good()) fail<std::invalid_argument>("Tav::Format::RIFF::identify: Input stream not good!");
    const std::streampos here = stream.tellg();
    struct Restore {
        std::istream& stream;
        std::streampos here;
        ~Restore() {
            stream.clear();
            stream.seekg(here);
        }
    } restore{stream, here};
    unsigned char head[8] = {};
    stream.seekg(0, std::ios::end);
    const std::streamoff size = stream.tellg() - here;
    stream.seekg(0);
    stream.read(reinterpret_cast<char*>(head), sizeof head);
    // A length that fits Tav's is no proof alone: a published writer that counts
    // 4 bytes too few makes one. Any other length is the published convention's,
    // which reads bytes after the form and cut files.
    if (std::memcmp(head, "RIFF", 4) == 0 && std::streamoff{Tav::detail::loadLE32(head + 4)} + 12 == size) {
        const auto bytes = static_cast<std::uint64_t>(size);
        const Fit tav = fitOf(stream, here, bytes, Convention::Tav);
        if (tav == Fit::tiled) return {Family::RIFF, Convention::Tav};
        const Fit published = fitOf(stream, here, bytes, Convention::Published);
        // Where neither tiles, Tav's convention reads it if it can.
        const bool tavReads = tav == Fit::read && published != Fit::tiled;
        return {Family::RIFF, tavReads ? Convention::Tav : Convention::Published};
    }
    stream.clear();
    stream.seekg(here);
    File file(stream, Convention::Published);  // refuses what no convention reads
    return {file.family(), Convention::Published};
}

}  // namespace Tav::Format::RIFF

#include <tav/international/locale.hpp>

#include <cstring>
#include <iostream>
#include <stdexcept>
#include <vector>

#include <tav/format/ostrane/file.hpp>
#include <tav/security/crc32.hpp>

#include "detail/bytes.hpp"
#include "detail/fail.hpp"
#include "format/ostrane/path.hpp"
#include "format/riff/buffer.hpp"
#include "format/riff/window.hpp"

namespace Tav::International {

namespace {

using Tav::Format::Ostrane::Node;
namespace RIFF = Tav::Format::RIFF;

[[noreturn]] void malformed(const char* what) {
    Tav::detail::fail<std::invalid_argument>(
        (std::string("Tav::International::Locale::constructor: ") + what).c_str());
}

// The text up to the first zero byte, which must lie within the bytes.
std::string text(const char* bytes, std::size_t size) {
    const void* zero = size > 0 ? std::memchr(bytes, 0, size) : nullptr;
    if (!zero) malformed("Text without terminating zero!");
    return std::string(bytes, static_cast<const char*>(zero));
}

// A node's payload: its data after the first zero byte, which ends a data node's
// name. It is measured from the data itself, never from name(): a path's type
// also selects lists, whose name lies elsewhere, and the payload must not reach
// past the data.
std::string payload(Node& node) {
    RIFF::Chunk& chunk = node;
    const char* data = chunk.open();
    const char* end = data + RIFF::detail::bufferBytes(data);
    const char* zero = static_cast<const char*>(std::memchr(data, 0, static_cast<std::size_t>(end - data)));
    const std::string copy = zero ? std::string(zero + 1, end) : std::string();
    chunk.close();
    if (!zero) malformed("Data node too short for its name!");
    return copy;
}

}  // namespace

Locale::Locale(std::istream& stream) {
    stamp("TIntlLocale", 32);
    // The container is needed only here: nothing reads it after construction.
    Format::Ostrane::File container(stream);
    Node code(Format::Ostrane::detail::select(container, "/BODY.ORL/STRN.code"));
    Node offsets(Format::Ostrane::detail::select(container, "/BODY.ORL/TUDW.offsets"));
    RIFF::Chunk& strings = Format::Ostrane::detail::select(container, "/BODY.ORL/ATXT.strings");

    const std::string codeBytes = payload(code);
    table.emplace(0, text(codeBytes.data(), codeBytes.size()));

    const std::string hashes = payload(offsets);
    const std::size_t count = hashes.size() / 4;  // 1 to 3 bytes left over are ignored
    // The texts are children 1 to N of the strings list as the container loaded
    // it; a list node found by path is a chunk without children of its own.
    auto* list = RIFF::List::is(strings) ? static_cast<RIFF::List*>(&strings) : nullptr;
    if (count > 0 && (!list || static_cast<std::uint64_t>(list->count()) < count + 1))
        malformed("Fewer texts than key hashes!");
    table.reserve(count + 1);

    // Each text chunk's header and data are fetched through one window of the
    // stream: a seek per text would cost a system call each on a file stream.
    RIFF::detail::Window window(container);
    std::vector<char> data;
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint32_t at = (*list)[static_cast<std::uint32_t>(k + 1)].offset();
        unsigned char header[8];
        if (!window.fetch(at, sizeof header, header)) malformed("Text past end of stream!");
        const std::uint32_t length = Tav::detail::loadLE32(header + 4);
        // Checked before allocating: a corrupt length could otherwise ask for gigabytes.
        if (std::uint64_t{at} + 8 + length > window.size()) malformed("Text past end of stream!");
        data.resize(length);
        if (!window.fetch(std::uint64_t{at} + 8, length, data.data())) malformed("Text past end of stream!");
        // Filing replaces: a repeated hash keeps the later text, and hash 0 replaces the code.
        table.insert_or_assign(Tav::detail::loadLE32(hashes.data() + 4 * k), text(data.data(), data.size()));
    }
    window.finish();
}

Locale::~Locale() = default;

const std::string& Locale::operator[](const std::string& key) const noexcept {
    const auto found = table.find(Security::Hash::Crc32(key.c_str()));
    return found == table.end() ? absent : found->second;
}

const char* Locale::operator[](const char* key) const noexcept {
    if (!key) return absent.c_str();
    const auto found = table.find(Security::Hash::Crc32(key));
    return (found == table.end() ? absent : found->second).c_str();
}

Locale& Locale::operator<<(const char* key) {
    std::cout << (*this)[key];
    return *this;
}

Locale& Locale::operator<<(const std::string& key) {
    std::cout << (*this)[key];
    return *this;
}

const std::string& Locale::code() const noexcept { return table.find(0)->second; }  // filed at construction

}  // namespace Tav::International

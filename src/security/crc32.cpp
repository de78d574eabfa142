#include <tav/security/crc32.hpp>

#include <cstring>

#include "security/crc32_detail.hpp"

namespace Tav::Security::Hash {

namespace {
using Method = std::uint32_t (*)(std::uint32_t, const unsigned char*, std::size_t) noexcept;

// Chosen once, at the first call: an old processor never meets the instruction.
Method method() noexcept {
    static const Method chosen = detail::hardwareAvailable() ? detail::crc32Hardware : detail::crc32Portable;
    return chosen;
}
}  // namespace

unsigned int Crc32(const unsigned char* bytes, unsigned int length) noexcept {
    return length == 0 ? 0 : method()(0, bytes, length);
}

unsigned int Crc32(const char* text) noexcept {
    return Crc32(reinterpret_cast<const unsigned char*>(text),
                 static_cast<unsigned int>(std::strlen(text) + 1));
}

}  // namespace Tav::Security::Hash

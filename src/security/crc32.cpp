#include <tav/security/crc32.hpp>

#include <cstring>

#include "security/crc32_detail.hpp"

namespace Tav::Security::Hash {

namespace {

enum class Method { Portable, Hardware, Wide };

// Chosen once, when the library loads: an old processor never meets an
// instruction it lacks. A call made before then (from another library's static
// initialiser) sees Portable, which gives the same values.
const Method method = detail::wideAvailable()       ? Method::Wide
                      : detail::hardwareAvailable() ? Method::Hardware
                                                    : Method::Portable;

}  // namespace

std::uint32_t detail::crc32(std::uint32_t crc, const unsigned char* bytes, std::size_t length) noexcept {
    if (length == 0) return crc;
    switch (method) {
        case Method::Wide: return crc32Wide(crc, bytes, length);
        case Method::Hardware: return crc32Hardware(crc, bytes, length);
        default: return crc32Portable(crc, bytes, length);
    }
}

unsigned int Crc32(const unsigned char* bytes, unsigned int length) noexcept { return detail::crc32(0, bytes, length); }

unsigned int Crc32(const char* text) noexcept {
    return Crc32(reinterpret_cast<const unsigned char*>(text),
                 static_cast<unsigned int>(std::strlen(text) + 1));
}

}  // namespace Tav::Security::Hash

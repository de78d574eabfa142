#include <cstring>

#include "security/crc32_detail.hpp"

#if defined(__x86_64__) || defined(__i386__)
#include <nmmintrin.h>
#define TAV_CRC32_X86 1
#endif

namespace Tav::Security::Hash::detail {

#if TAV_CRC32_X86

namespace {

#define TAV_CRC_TARGET __attribute__((target("sse4.2")))

#if defined(__x86_64__)
using Word = std::uint64_t;
TAV_CRC_TARGET inline std::uint32_t step(std::uint32_t crc, Word w) {
    return static_cast<std::uint32_t>(_mm_crc32_u64(crc, w));
}
#else
using Word = std::uint32_t;
TAV_CRC_TARGET inline std::uint32_t step(std::uint32_t crc, Word w) { return _mm_crc32_u32(crc, w); }
#endif

inline Word load(const unsigned char* p) {
    Word w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// One instruction has a latency of three cycles but a throughput of one per
// cycle, so three streams over adjacent blocks keep the unit busy; the block
// registers are then merged with a shift table.
template <std::size_t Block>
TAV_CRC_TARGET std::uint32_t threeStreams(std::uint32_t crc, const unsigned char*& p, std::size_t& length) {
    static const Shift shift(Block);
    while (length >= 3 * Block) {
        std::uint32_t a = crc, b = 0, c = 0;
        for (std::size_t i = 0; i < Block; i += sizeof(Word)) {
            a = step(a, load(p + i));
            b = step(b, load(p + Block + i));
            c = step(c, load(p + 2 * Block + i));
        }
        crc = shift(shift(a) ^ b) ^ c;
        p += 3 * Block;
        length -= 3 * Block;
    }
    return crc;
}

}  // namespace

TAV_CRC_TARGET std::uint32_t crc32Hardware(std::uint32_t crc, const unsigned char* p,
                                           std::size_t length) noexcept {
    crc = threeStreams<4096>(crc, p, length);
    crc = threeStreams<256>(crc, p, length);
    for (; length >= sizeof(Word); length -= sizeof(Word), p += sizeof(Word)) crc = step(crc, load(p));
    for (; length > 0; --length, ++p) crc = _mm_crc32_u8(crc, *p);
    return crc;
}

bool hardwareAvailable() noexcept { return __builtin_cpu_supports("sse4.2"); }

#else

std::uint32_t crc32Hardware(std::uint32_t crc, const unsigned char* p, std::size_t length) noexcept {
    return crc32Portable(crc, p, length);
}

bool hardwareAvailable() noexcept { return false; }

#endif

}  // namespace Tav::Security::Hash::detail

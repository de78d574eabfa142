// The CRC-32 with the processor's instructions. The register's polynomial
// arithmetic is done in the reflected bit order that the data arrives in:
//
// A 16-byte block read from memory is a polynomial of degree below 128 whose
// first bit (bit 0 of the register) is the coefficient of x^127. Moving a block
// D bits further along the message multiplies it by x^D; splitting it into its
// two halves A (the earlier) and C, that is A * x^(D+64) + C * x^D, and each
// product is one carry-less multiplication by a 32-bit constant, x^e mod P
// stored as e - 1 because the reflected product comes out shifted by one bit.
// Blocks far apart are folded in parallel, then onto each other, and the last
// block is reduced with two CRC32 instructions, which compute exactly V * x^32 mod P.
#include <cstring>

#include "security/crc32_detail.hpp"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TAV_CRC32_X86 1
#endif

#if defined(__GNUC__) && !defined(__clang__)
// GCC 12's AVX-512 headers fill their "undefined" operands with an uninitialised
// variable and then warn about it (GCC bug 105593).
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace Tav::Security::Hash::detail {

#if TAV_CRC32_X86

namespace {

#define TAV_FOLD_TARGET __attribute__((target("sse4.2,pclmul")))
#define TAV_WIDE_TARGET __attribute__((target("sse4.2,pclmul,avx512f,vpclmulqdq")))

// x^e mod P as the register holds it (bit j is the coefficient of x^(31-j)).
constexpr std::uint32_t powerOfX(unsigned e) {
    std::uint32_t r = 0x80000000u;  // x^0
    for (; e > 0; --e) r = (r >> 1) ^ ((r & 1) ? 0x82F63B78u : 0);
    return r;
}

// The constant pair that moves a block `bits` further along: the earlier half's
// in the low quadword, the later half's in the high one.
struct Fold {
    std::uint64_t earlier, later;
};
constexpr Fold fold(unsigned bits) {
    return {std::uint64_t{powerOfX(bits + 63)} << 32, std::uint64_t{powerOfX(bits - 1)} << 32};
}

constexpr Fold by16 = fold(128), by32 = fold(256), by48 = fold(384), by64 = fold(512), by256 = fold(2048);

#if defined(__x86_64__)
using Word = std::uint64_t;
TAV_FOLD_TARGET inline std::uint32_t step(std::uint32_t crc, Word w) {
    return static_cast<std::uint32_t>(_mm_crc32_u64(crc, w));
}
#else
using Word = std::uint32_t;
TAV_FOLD_TARGET inline std::uint32_t step(std::uint32_t crc, Word w) { return _mm_crc32_u32(crc, w); }
#endif

TAV_FOLD_TARGET inline std::uint32_t words(std::uint32_t crc, const unsigned char* p, std::size_t length) {
    for (; length >= sizeof(Word); length -= sizeof(Word), p += sizeof(Word)) {
        Word w;
        std::memcpy(&w, p, sizeof w);
        crc = step(crc, w);
    }
    for (; length > 0; --length, ++p) crc = _mm_crc32_u8(crc, *p);
    return crc;
}

TAV_FOLD_TARGET inline __m128i load(const unsigned char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

TAV_FOLD_TARGET inline __m128i constants(Fold f) {
    return _mm_set_epi64x(static_cast<long long>(f.later), static_cast<long long>(f.earlier));
}

// Moves `v` along by the distance of `k` and adds the block found there.
TAV_FOLD_TARGET inline __m128i fold(__m128i v, __m128i k, __m128i there) {
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(v, k, 0x00), _mm_clmulepi64_si128(v, k, 0x11)), there);
}

// The register after the block: V * x^32 mod P.
TAV_FOLD_TARGET inline std::uint32_t reduce(__m128i v) {
#if defined(__x86_64__)
    return step(step(0, static_cast<Word>(_mm_cvtsi128_si64(v))), static_cast<Word>(_mm_extract_epi64(v, 1)));
#else
    unsigned char bytes[16];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes), v);
    return words(0, bytes, sizeof bytes);
#endif
}

// Folds the 16-byte blocks from `p` onto `v`, reduces, and finishes the tail.
// Three blocks at a time are folded side by side onto the last of them, so that
// their multiplications do not wait for each other.
TAV_FOLD_TARGET std::uint32_t finish(__m128i v, const unsigned char* p, std::size_t length) {
    const __m128i k16 = constants(by16), k32 = constants(by32), k48 = constants(by48);
    const __m128i zero = _mm_setzero_si128();
    for (; length >= 48; length -= 48, p += 48)
        v = _mm_xor_si128(fold(v, k48, load(p + 32)), _mm_xor_si128(fold(load(p), k32, zero), fold(load(p + 16), k16, zero)));
    for (; length >= 16; length -= 16, p += 16) v = fold(v, k16, load(p));
    return words(reduce(v), p, length);
}

TAV_FOLD_TARGET std::uint32_t folded(std::uint32_t crc, const unsigned char* p, std::size_t length,
                                     __m128i (*wide)(std::uint32_t, const unsigned char*&, std::size_t&)) {
    if (length < 32) return words(crc, p, length);
    __m128i v;
    if (wide && length >= 512) {
        v = wide(crc, p, length);
    } else {
        // The register enters as the first four bytes of the message would.
        v = _mm_xor_si128(load(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
        p += 16;
        length -= 16;
        if (length >= 112) {  // four blocks side by side, 64 bytes apart
            __m128i x[4] = {v, load(p), load(p + 16), load(p + 32)};
            p += 48;
            length -= 48;
            const __m128i k = constants(by64);
            for (; length >= 64; length -= 64, p += 64)
                for (int i = 0; i < 4; ++i) x[i] = fold(x[i], k, load(p + 16 * i));
            const __m128i k16 = constants(by16);
            v = fold(fold(fold(x[0], k16, x[1]), k16, x[2]), k16, x[3]);
        }
    }
    return finish(v, p, length);
}

TAV_WIDE_TARGET inline __m512i load512(const unsigned char* at) { return _mm512_loadu_si512(at); }

TAV_WIDE_TARGET inline __m512i fold512(__m512i v, __m512i k, __m512i there) {
    // 0x96 is the truth table of a ^ b ^ c.
    return _mm512_ternarylogic_epi64(_mm512_clmulepi64_epi128(v, k, 0x00), _mm512_clmulepi64_epi128(v, k, 0x11),
                                     there, 0x96);
}

TAV_WIDE_TARGET inline __m512i broadcast(Fold f) { return _mm512_broadcast_i32x4(constants(f)); }

// Sixteen blocks side by side in four 64-byte registers, 256 bytes apart,
// folded down to one block at the end. Needs at least 512 bytes.
TAV_WIDE_TARGET __m128i wideFold(std::uint32_t crc, const unsigned char*& p, std::size_t& length) {
    __m512i x[4] = {_mm512_xor_si512(load512(p), _mm512_castsi128_si512(_mm_cvtsi32_si128(static_cast<int>(crc)))),
                    load512(p + 64), load512(p + 128), load512(p + 192)};
    p += 256;
    length -= 256;
    const __m512i k = broadcast(by256);
    for (; length >= 256; length -= 256, p += 256)
        for (int i = 0; i < 4; ++i) x[i] = fold512(x[i], k, load512(p + 64 * i));
    const __m512i k64 = broadcast(by64);
    const __m512i z = fold512(fold512(fold512(x[0], k64, x[1]), k64, x[2]), k64, x[3]);
    const __m128i k16 = constants(by16);
    return fold(fold(fold(_mm512_extracti32x4_epi32(z, 0), k16, _mm512_extracti32x4_epi32(z, 1)), k16,
                     _mm512_extracti32x4_epi32(z, 2)),
                k16, _mm512_extracti32x4_epi32(z, 3));
}

}  // namespace

std::uint32_t crc32Hardware(std::uint32_t crc, const unsigned char* p, std::size_t length) noexcept {
    return folded(crc, p, length, nullptr);
}

std::uint32_t crc32Wide(std::uint32_t crc, const unsigned char* p, std::size_t length) noexcept {
    return folded(crc, p, length, wideFold);
}

bool hardwareAvailable() noexcept { return __builtin_cpu_supports("sse4.2") && __builtin_cpu_supports("pclmul"); }

bool wideAvailable() noexcept {
    return hardwareAvailable() && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("vpclmulqdq");
}

#else

std::uint32_t crc32Hardware(std::uint32_t crc, const unsigned char* p, std::size_t length) noexcept {
    return crc32Portable(crc, p, length);
}

std::uint32_t crc32Wide(std::uint32_t crc, const unsigned char* p, std::size_t length) noexcept {
    return crc32Portable(crc, p, length);
}

bool hardwareAvailable() noexcept { return false; }

bool wideAvailable() noexcept { return false; }

#endif

}  // namespace Tav::Security::Hash::detail

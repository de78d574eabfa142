// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// The CRC-32 kernels of x86 processors: the CRC32 instruction (SSE4.2) and
// carry-less multiplication (PCLMULQDQ; VPCLMULQDQ on 32- and 64-byte registers).
// Each function names the instructions it may use in its target attribute, so
// the rest of the file, the processor checks included, runs on any x86.
//
// The register's polynomial arithmetic is done in the reflected bit order that
// the data arrives in. A 16-byte block read from memory is a polynomial of
// degree below 128 whose first bit (bit 0 of the register) is the coefficient
// of x^127. Moving a block D bits further along the message multiplies it by
// x^D; splitting it into its two halves A (the earlier) and C, that is
// A * x^(D+64) + C * x^D, and each product is one carry-less multiplication by
// a 32-bit constant, x^e mod P stored as e - 1 because the reflected product
// comes out shifted by one bit. Blocks far apart are folded in parallel, then
// onto each other, and the last block is reduced with two CRC32 instructions,
// which compute exactly V * x^32 mod P.
#include "security/crc32_detail.hpp"

#if defined(__x86_64__) || defined(__i386__)

#include <algorithm>
#include <cstring>

#if defined(TAV_CRC32_EMULATE_WIDE)
// A test build for processors without AVX2 or AVX-512: SIMDe carries out the
// wide instructions with 16-byte ones, so that every kernel's arithmetic runs
// on any x86-64 with PCLMULQDQ. Nothing is compiled for a target of its own.
#include <nmmintrin.h>
#include <wmmintrin.h>
#define SIMDE_ENABLE_NATIVE_ALIASES
#include <simde/x86/avx512.h>
#include <simde/x86/clmul.h>
#include <simde/x86/sse4.2.h>
#define TAV_TARGET(features)
#define TAV_CPU_SUPPORTS_WIDE(feature) true
#else
#include <immintrin.h>
#define TAV_TARGET(features) __attribute__((target(features)))
#define TAV_CPU_SUPPORTS_WIDE(feature) __builtin_cpu_supports(feature)
#endif

#if defined(__GNUC__) && !defined(__clang__)
// GCC 12's AVX-512 headers fill their "undefined" operands with an uninitialised
// variable and then warn about it (GCC bug 105593).
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace Tav::Security::Hash::detail {

namespace {

#define TAV_FOLD_TARGET TAV_TARGET("sse4.2,pclmul")
#define TAV_FOLD256_TARGET TAV_TARGET("sse4.2,pclmul,avx2,vpclmulqdq")
#define TAV_FOLD512_TARGET TAV_TARGET("sse4.2,pclmul,avx512f,vpclmulqdq")

// The constant pair that moves a block `bytes` further along: the earlier half's
// in the low quadword, the later half's in the high one.
struct Fold {
    std::uint64_t earlier, later;
};
template <std::size_t bytes>
constexpr Fold by = {std::uint64_t{powerOfX(8 * bytes + 63)} << 32, std::uint64_t{powerOfX(8 * bytes - 1)} << 32};

inline std::uint64_t word(const unsigned char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// The register as the CRC32 instruction keeps it: 64 bits wide on x86-64, whose
// 8-byte step takes and gives a 64-bit register (narrowing it after every step
// would cost an instruction a step).
#if defined(__x86_64__)
using Register = std::uint64_t;
#else
using Register = std::uint32_t;
#endif

// One CRC32 step over eight bytes; 32-bit x86 has the instruction on 32-bit
// words only and takes two.
TAV_FOLD_TARGET inline Register step(Register crc, std::uint64_t w) {
#if defined(__x86_64__)
    return _mm_crc32_u64(crc, w);
#else
    return _mm_crc32_u32(_mm_crc32_u32(crc, static_cast<std::uint32_t>(w)), static_cast<std::uint32_t>(w >> 32));
#endif
}

// One stream of CRC32 instructions, four words a turn to spend few
// instructions on the loop, then the last bytes at most three steps.
TAV_FOLD_TARGET inline std::uint32_t words(std::uint32_t start, const unsigned char* p, std::size_t length) {
    Register crc = start;
    for (; length >= 32; length -= 32, p += 32)
        crc = step(step(step(step(crc, word(p)), word(p + 8)), word(p + 16)), word(p + 24));
    for (; length >= 8; length -= 8, p += 8) crc = step(crc, word(p));
    std::uint32_t narrow = static_cast<std::uint32_t>(crc);
    if (length & 4) {
        std::uint32_t w;
        std::memcpy(&w, p, sizeof w);
        narrow = _mm_crc32_u32(narrow, w);
        p += 4;
    }
    if (length & 2) {
        std::uint16_t w;
        std::memcpy(&w, p, sizeof w);
        narrow = _mm_crc32_u16(narrow, w);
        p += 2;
    }
    return length & 1 ? _mm_crc32_u8(narrow, *p) : narrow;
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

TAV_FOLD_TARGET inline std::uint64_t low64(__m128i v) {
#if defined(__x86_64__)
    return static_cast<std::uint64_t>(_mm_cvtsi128_si64(v));
#else
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(v)) |
           std::uint64_t{static_cast<std::uint32_t>(_mm_extract_epi32(v, 1))} << 32;
#endif
}

// The register after the block: V * x^32 mod P.
TAV_FOLD_TARGET inline std::uint32_t reduce(__m128i v) {
    return static_cast<std::uint32_t>(step(step(0, low64(v)), low64(_mm_unpackhi_epi64(v, v))));
}

// Folds the 16-byte blocks from `p` onto `v`, reduces, and finishes the tail.
// Three blocks at a time are folded side by side onto the last of them, so that
// their multiplications do not wait for each other.
TAV_FOLD_TARGET std::uint32_t finish(__m128i v, const unsigned char* p, std::size_t length) {
    const __m128i k16 = constants(by<16>), k32 = constants(by<32>), k48 = constants(by<48>);
    const __m128i zero = _mm_setzero_si128();
    for (; length >= 48; length -= 48, p += 48)
        v = _mm_xor_si128(fold(v, k48, load(p + 32)), _mm_xor_si128(fold(load(p), k32, zero), fold(load(p + 16), k16, zero)));
    for (; length >= 16; length -= 16, p += 16) v = fold(v, k16, load(p));
    return words(reduce(v), p, length);
}

// CRC32-instruction streams run side by side over adjacent stretches of equal
// length: the instruction takes a new word every cycle but answers only after
// three cycles. The last stream goes on over the whole words left after the
// stretches while the others' registers are moved to the end of them by one
// carry-less multiplication each, then all are added.
constexpr std::size_t maxStreams = 3;
constexpr std::size_t maxHybridWords = 4;  // 8-byte words a stream takes per round of a hybrid kernel, at most
constexpr std::size_t hybridMaxRounds = 128;
constexpr std::size_t maxRoundBytes = 512;  // what any hybrid kernel takes in one round, at most
// The longest stretch: a hybrid kernel's, plus the words its streams take after
// the rounds so that less than one word per stream is left over.
constexpr std::size_t maxStretchWords = hybridMaxRounds * maxHybridWords + maxRoundBytes / 8;
// The farthest move: a hybrid's folded register, past every stretch and the
// words left after them.
constexpr std::size_t maxShiftWords = maxStreams * (maxStretchWords + 1);

constexpr auto wordShifts = makeWordShifts<maxShiftWords>();

template <std::size_t count>
using Streams = Register[count];

TAV_FOLD_TARGET inline __m128i times(Register crc, std::uint32_t k) {
    return _mm_clmulepi64_si128(_mm_cvtsi32_si128(static_cast<int>(crc)), _mm_cvtsi32_si128(static_cast<int>(k)), 0x00);
}

// Continues the stream registers over `words` more words of their stretches.
template <std::size_t count>
TAV_FOLD_TARGET inline void streamOn(Streams<count>& c, const unsigned char* s, std::size_t stretch, std::size_t words) {
    for (const unsigned char* end = s + 8 * words; s != end; s += 8)
        for (std::size_t j = 0; j < count; ++j) c[j] = step(c[j], word(s + j * stretch));
}

// Ends the streams over stretches of `n` words from `s` and the `more` words
// after them (fewer than `count`), adding `v`, a register already moved
// there: the register at the end of those words.
template <std::size_t count>
TAV_FOLD_TARGET inline std::uint32_t joined(Streams<count>& c, const unsigned char* s, std::size_t n, std::size_t more,
                                            __m128i v) {
    const std::size_t last = count - 1;
    const std::uint32_t end = words(static_cast<std::uint32_t>(c[last]), s + 8 * n * count, 8 * more);
    for (std::size_t j = 0; j < last; ++j) v = _mm_xor_si128(v, times(c[j], wordShifts[(last - j) * n + more]));
    return static_cast<std::uint32_t>(step(0, low64(v))) ^ end;
}

// For inputs of up to 8 * maxStreams * (maxStretchWords + 1) bytes.
TAV_FOLD_TARGET std::uint32_t manyStreams(std::uint32_t crc, const unsigned char* p, std::size_t length) {
    const std::size_t n = length / (8 * maxStreams), more = length / 8 - maxStreams * n;
    Streams<maxStreams> c{crc};
    streamOn(c, p, 8 * n, n);
    crc = joined(c, p, n, more, _mm_setzero_si128());
    return words(crc, p + (length & ~std::size_t{7}), length & 7);
}

// Below 128 bytes one stream takes fewer instructions, which counts more than its wait.
TAV_FOLD_TARGET inline std::uint32_t streams(std::uint32_t crc, const unsigned char* p, std::size_t length) {
    return length < 128 ? words(crc, p, length) : manyStreams(crc, p, length);
}

#define TAV_ALWAYS_INLINE __attribute__((always_inline)) inline

// The registers a folding loop works in, one type per width: `bytes` bytes a
// round, side by side. The loops below are written once for all of them; each
// is instantiated inside a function whose target has the registers'
// instructions, so that the member functions, which name them, inline there
// (marked always_inline they would have to inline into the generic loop first).
struct Xmm4 {
    static constexpr std::size_t bytes = 64;
    __m128i x[4];
    TAV_FOLD_TARGET void start(const unsigned char* p, std::uint32_t crc) {
        for (int i = 0; i < 4; ++i) x[i] = load(p + 16 * i);
        x[0] = _mm_xor_si128(x[0], _mm_cvtsi32_si128(static_cast<int>(crc)));
    }
    TAV_FOLD_TARGET void round(const unsigned char* p) {
        const __m128i k = constants(by<bytes>);
        for (int i = 0; i < 4; ++i) x[i] = fold(x[i], k, load(p + 16 * i));
    }
    TAV_FOLD_TARGET __m128i narrow() const {
        const __m128i k16 = constants(by<16>);
        return fold(fold(fold(x[0], k16, x[1]), k16, x[2]), k16, x[3]);
    }
};

// Reads `length` bytes from `p` with `Registers`, advancing `p` and `length`
// past what it took and leaving less than one round: the bytes folded into
// one 16-byte block. Needs at least one round.
template <class Registers>
TAV_FOLD_TARGET TAV_ALWAYS_INLINE __m128i region(std::uint32_t crc, const unsigned char*& p, std::size_t& length) {
    Registers r;
    r.start(p, crc);
    for (p += Registers::bytes, length -= Registers::bytes; length >= Registers::bytes;
         p += Registers::bytes, length -= Registers::bytes)
        r.round(p);
    return r.narrow();
}

using Region = __m128i (*)(std::uint32_t crc, const unsigned char*& p, std::size_t& length);

TAV_FOLD_TARGET __m128i region128(std::uint32_t crc, const unsigned char*& p, std::size_t& length) {
    return region<Xmm4>(crc, p, length);
}

// Short inputs through the CRC32 instruction; from `minimum` bytes on, `region`
// folds the bulk.
template <Region region, std::size_t minimum>
TAV_FOLD_TARGET inline std::uint32_t folded(std::uint32_t crc, const unsigned char* p, std::size_t length) {
    if (length < 128) return words(crc, p, length);  // the commonest case first
    if (length < minimum) return manyStreams(crc, p, length);
    const __m128i v = region(crc, p, length);
    return finish(v, p, length);
}

// The hybrid kernels cut a block into stretches: the first folded in
// `Registers`, the others run through the CRC32 instruction as `count` streams
// of `perRound` words a round. One loop drives them all, so that the multiplier
// and the CRC32 unit work side by side; the streams then take the words left
// over, and the folded stretch's register moves to the block's end with the
// streams' ones. Below two rounds the streams alone are faster (a hybrid of one
// round: 20 ns at 256 bytes against 14 ns).
template <class Registers, std::size_t count, std::size_t perRound>
constexpr std::size_t hybridRound = Registers::bytes + count * 8 * perRound;

template <class Registers, std::size_t count, std::size_t perRound>
TAV_FOLD_TARGET TAV_ALWAYS_INLINE std::uint32_t hybrid(std::uint32_t crc, const unsigned char* p, std::size_t length) {
    constexpr std::size_t round = hybridRound<Registers, count, perRound>;
    static_assert(count >= 1 && count <= maxStreams && perRound <= maxHybridWords && round <= maxRoundBytes);
    while (length >= 2 * round) {
        const std::size_t rounds = std::min(length / round, hybridMaxRounds);
        // The last block's streams take every whole word left.
        const std::size_t left = rounds == hybridMaxRounds ? 0 : (length - rounds * round) / 8;
        const std::size_t extra = left / count, more = left % count;
        const std::size_t n = rounds * perRound + extra, stretch = 8 * n;
        const unsigned char* s = p + rounds * Registers::bytes;
        Registers r;
        r.start(p, crc);
        Streams<count> c{};
        streamOn(c, s, stretch, perRound);
        for (std::size_t i = 1; i < rounds; ++i) {
            r.round(p + i * Registers::bytes);
            streamOn(c, s + 8 * perRound * i, stretch, perRound);
        }
        streamOn(c, s + 8 * perRound * rounds, stretch, extra);
        crc = joined(c, s, n, more, times(reduce(r.narrow()), wordShifts[count * n + more]));
        p = s + 8 * (count * n + more);
        length -= rounds * Registers::bytes + 8 * (count * n + more);
    }
    return streams(crc, p, length);
}

TAV_FOLD_TARGET std::uint32_t hybrid128(std::uint32_t crc, const unsigned char* p, std::size_t length) {
    return hybrid<Xmm4, 3, 3>(crc, p, length);
}

// The wider registers on 64-bit x86 only: a 32-bit program has eight vector
// registers, which the wide kernels outgrow, and no emulator here runs AVX2 in
// 32-bit mode to test them.
#if defined(__x86_64__)

TAV_FOLD256_TARGET inline __m256i load256(const unsigned char* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

TAV_FOLD256_TARGET inline __m256i fold256(__m256i v, __m256i k, __m256i there) {
    return _mm256_xor_si256(_mm256_xor_si256(_mm256_clmulepi64_epi128(v, k, 0x00), _mm256_clmulepi64_epi128(v, k, 0x11)),
                            there);
}

TAV_FOLD256_TARGET inline __m256i broadcast256(Fold f) { return _mm256_broadcastsi128_si256(constants(f)); }

template <std::size_t count>
struct Ymm {
    static constexpr std::size_t bytes = 32 * count;
    __m256i x[count];
    TAV_FOLD256_TARGET void start(const unsigned char* p, std::uint32_t crc) {
        for (std::size_t i = 0; i < count; ++i) x[i] = load256(p + 32 * i);
        x[0] = _mm256_xor_si256(x[0], _mm256_set_epi64x(0, 0, 0, crc));
    }
    TAV_FOLD256_TARGET void round(const unsigned char* p) {
        const __m256i k = broadcast256(by<bytes>);
        for (std::size_t i = 0; i < count; ++i) x[i] = fold256(x[i], k, load256(p + 32 * i));
    }
    // Each register moved straight to the last, side by side rather than one after another.
    TAV_FOLD256_TARGET __m128i narrow() const {
        constexpr Fold moves[] = {by<32>, by<64>, by<96>};
        static_assert(count <= 4);
        __m256i z = x[count - 1];
        for (std::size_t i = 0; i + 1 < count; ++i) z = fold256(x[i], broadcast256(moves[count - 2 - i]), z);
        return fold(_mm256_castsi256_si128(z), constants(by<16>), _mm256_extracti128_si256(z, 1));
    }
};

TAV_FOLD256_TARGET __m128i region256(std::uint32_t crc, const unsigned char*& p, std::size_t& length) {
    return region<Ymm<4>>(crc, p, length);
}

// Two 32-byte registers beside three streams of three words a round: on a Zen 3
// the best of the shapes tried (two to four registers, two to four words),
// 1572 ns at 64 KiB against 1626-2663 ns for the others. The CRC32 unit bounds
// it: nine instructions a round, while the multiplier has room to spare.
constexpr std::size_t hybrid256Round = hybridRound<Ymm<2>, 3, 3>;
TAV_FOLD256_TARGET std::uint32_t hybrid256(std::uint32_t crc, const unsigned char* p, std::size_t length) {
    return hybrid<Ymm<2>, 3, 3>(crc, p, length);
}

TAV_FOLD512_TARGET inline __m512i load512(const unsigned char* at) { return _mm512_loadu_si512(at); }

TAV_FOLD512_TARGET inline __m512i fold512(__m512i v, __m512i k, __m512i there) {
    // 0x96 is the truth table of a ^ b ^ c.
    return _mm512_ternarylogic_epi64(_mm512_clmulepi64_epi128(v, k, 0x00), _mm512_clmulepi64_epi128(v, k, 0x11),
                                     there, 0x96);
}

TAV_FOLD512_TARGET inline __m512i broadcast512(Fold f) { return _mm512_broadcast_i32x4(constants(f)); }

template <std::size_t count>
struct Zmm {
    static constexpr std::size_t bytes = 64 * count;
    __m512i x[count];
    TAV_FOLD512_TARGET void start(const unsigned char* p, std::uint32_t crc) {
        for (std::size_t i = 0; i < count; ++i) x[i] = load512(p + 64 * i);
        x[0] = _mm512_xor_si512(x[0], _mm512_set_epi64(0, 0, 0, 0, 0, 0, 0, crc));
    }
    TAV_FOLD512_TARGET void round(const unsigned char* p) {
        const __m512i k = broadcast512(by<bytes>);
        for (std::size_t i = 0; i < count; ++i) x[i] = fold512(x[i], k, load512(p + 64 * i));
    }
    // Each register moved straight to the last, then each 16-byte lane of that
    // to the last lane, side by side: the end of a short input waits on two
    // multiplications rather than on one per register and lane.
    TAV_FOLD512_TARGET __m128i narrow() const {
        constexpr Fold moves[] = {by<64>, by<128>, by<192>};
        static_assert(count <= 4);
        __m512i z = x[count - 1];
        for (std::size_t i = 0; i + 1 < count; ++i) z = fold512(x[i], broadcast512(moves[count - 2 - i]), z);
        // The last lane's constants are zero: it is added as it stands.
        constexpr Fold lanes[] = {by<48>, by<32>, by<16>};
        const __m512i k = _mm512_set_epi64(0, 0, static_cast<long long>(lanes[2].later), static_cast<long long>(lanes[2].earlier),
                                           static_cast<long long>(lanes[1].later), static_cast<long long>(lanes[1].earlier),
                                           static_cast<long long>(lanes[0].later), static_cast<long long>(lanes[0].earlier));
        z = fold512(z, k, _mm512_maskz_mov_epi64(0xC0, z));
        const __m256i y = _mm256_xor_si256(_mm512_castsi512_si256(z), _mm512_extracti64x4_epi64(z, 1));
        return _mm_xor_si128(_mm256_castsi256_si128(y), _mm256_extracti128_si256(y, 1));
    }
};

template <std::size_t registers>
TAV_FOLD512_TARGET __m128i region512(std::uint32_t crc, const unsigned char*& p, std::size_t& length) {
    return region<Zmm<registers>>(crc, p, length);
}

// A shape of 64-byte kernel: `registers` folding registers beside `count`
// streams of `perRound` words a round (none: folding alone), from two rounds
// on; the streams below. The benchmark ranks them on the processor at hand.
template <std::size_t registers, std::size_t count, std::size_t perRound>
TAV_FOLD512_TARGET std::uint32_t shape512(std::uint32_t crc, const unsigned char* p, std::size_t length) {
    if constexpr (count == 0)
        return folded<region512<registers>, 2 * Zmm<registers>::bytes>(crc, p, length);
    else
        return hybrid<Zmm<registers>, count, perRound>(crc, p, length);
}

#endif

}  // namespace

// The kernels take their arguments as the public function does, so that where
// the loader chooses (IFUNC) it binds the function to a kernel directly.

TAV_FOLD_TARGET unsigned int crc32Fold128(const unsigned char* p, std::size_t length, unsigned int crc) noexcept {
    return folded<region128, 128>(crc, p, length);
}

// Below two rounds it folds alone, as fold128 does: on 32-bit x86, whose CRC32
// instruction takes 4 bytes, the streams run at half their rate.
TAV_FOLD_TARGET unsigned int crc32Hybrid128(const unsigned char* p, std::size_t length, unsigned int crc) noexcept {
    return length < 2 * hybridRound<Xmm4, 3, 3> ? folded<region128, 128>(crc, p, length) : hybrid128(crc, p, length);
}

// The streams alone, block by block.
TAV_FOLD_TARGET unsigned int crc32Streams(const unsigned char* p, std::size_t length, unsigned int crc) noexcept {
    constexpr std::size_t block = 8 * maxStreams * maxStretchWords;
    for (; length >= block; length -= block, p += block) crc = manyStreams(crc, p, block);
    return streams(crc, p, length);
}

bool crcClmulAvailable() noexcept {
    __builtin_cpu_init();  // the choice may be made before the compiler's own initialiser has run
    return __builtin_cpu_supports("sse4.2") && __builtin_cpu_supports("pclmul");
}

#if defined(__x86_64__)

TAV_FOLD_TARGET unsigned int crc32Fold256(const unsigned char* p, std::size_t length, unsigned int crc) noexcept {
    return folded<region256, 256>(crc, p, length);
}

TAV_FOLD_TARGET unsigned int crc32Hybrid256(const unsigned char* p, std::size_t length, unsigned int crc) noexcept {
    return length < 2 * hybrid256Round ? streams(crc, p, length) : hybrid256(crc, p, length);
}

TAV_FOLD512_TARGET unsigned int crc32Fold512(const unsigned char* p, std::size_t length, unsigned int crc) noexcept {
    return shape512<4, 0, 0>(crc, p, length);
}

// Four 64-byte registers beside three streams of three words a round, from
// 4 KiB on; folding alone below. Measured on a Zen 4 (the choice table) and
// modelled with llvm-mca (bench/crc32-mca; its Zen 5 is its Zen 4), it takes
// 3.13 cycles per 64 bytes on Zen 4 and 1.76 on Sapphire Rapids where folding
// alone takes 4.01 and 2.01: of the 36 shapes the one nearest the best on
// both (three registers beside three streams of four words is best on Zen 4,
// 2.68, but takes 2.67 on Sapphire Rapids; of two words, best there, 1.62, but
// 3.21 on Zen 4). Folding alone models faster at 1 KiB (91 and 67 cycles
// against 104 and 81) and even at 2 KiB; on the Zen 4 it measured faster up
// to 4 KiB.
TAV_FOLD512_TARGET unsigned int crc32Hybrid512(const unsigned char* p, std::size_t length, unsigned int crc) noexcept {
    return length < 4096 ? shape512<4, 0, 0>(crc, p, length) : shape512<4, 3, 3>(crc, p, length);
}

// The wider registers also need the operating system to save them, which
// __builtin_cpu_supports checks (XGETBV) for AVX2 and AVX-512.
bool avx2ClmulAvailable() noexcept {
    return crcClmulAvailable() && TAV_CPU_SUPPORTS_WIDE("avx2") && TAV_CPU_SUPPORTS_WIDE("vpclmulqdq");
}

bool avx512ClmulAvailable() noexcept { return avx2ClmulAvailable() && TAV_CPU_SUPPORTS_WIDE("avx512f"); }

#if defined(TAV_CRC32_SHAPES)
namespace {
template <std::size_t registers, std::size_t count, std::size_t perRound>
TAV_FOLD512_TARGET unsigned int shape(const unsigned char* p, std::size_t length, unsigned int crc) noexcept {
    return shape512<registers, count, perRound>(crc, p, length);
}
}  // namespace

// Named registers x streams x words a round.
#define TAV_SHAPE(r, s, w) kernel<shape<r, s, w>>("shape512_" #r "x" #s "x" #w, avx512ClmulAvailable)
#define TAV_SHAPES_OF(r)                                                                                         \
    TAV_SHAPE(r, 0, 0), TAV_SHAPE(r, 1, 2), TAV_SHAPE(r, 1, 4), TAV_SHAPE(r, 2, 2), TAV_SHAPE(r, 2, 3),        \
        TAV_SHAPE(r, 2, 4), TAV_SHAPE(r, 3, 2), TAV_SHAPE(r, 3, 3), TAV_SHAPE(r, 3, 4)
constexpr KernelInfo avx512Shapes[] = {TAV_SHAPES_OF(1), TAV_SHAPES_OF(2), TAV_SHAPES_OF(3), TAV_SHAPES_OF(4)};
#undef TAV_SHAPES_OF
#undef TAV_SHAPE

KernelList shapes() noexcept { return {std::begin(avx512Shapes), std::end(avx512Shapes)}; }
#endif

#endif

}  // namespace Tav::Security::Hash::detail

#endif

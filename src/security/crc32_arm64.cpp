// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// The CRC-32 kernels of ARM64 processors: the CRC32C instructions (an ARMv8.0
// option, standard from ARMv8.1) and 64-bit polynomial multiplication (PMULL,
// part of the cryptography extension). Each function names the instructions it
// may use in its target attribute, so the processor checks run on any ARM64.
#include "security/crc32_detail.hpp"

#if defined(__aarch64__)

#include <algorithm>
#include <cstring>

#include <arm_acle.h>
#include <arm_neon.h>

#if defined(__linux__)
#include <asm/hwcap.h>
#include <sys/auxv.h>
#endif

namespace Tav::Security::Hash::detail {

namespace {

#if defined(__clang__)
#define TAV_CRC_TARGET __attribute__((target("crc")))
#define TAV_PMULL_TARGET __attribute__((target("crc,aes")))
#else
#define TAV_CRC_TARGET __attribute__((target("+crc")))
#define TAV_PMULL_TARGET __attribute__((target("+crc+crypto")))
#endif

inline std::uint64_t word(const unsigned char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

TAV_CRC_TARGET inline std::uint32_t words(std::uint32_t crc, const unsigned char* p, std::size_t length) {
    for (; length >= 8; length -= 8, p += 8) crc = __crc32cd(crc, word(p));
    for (; length > 0; --length, ++p) crc = __crc32cb(crc, *p);
    return crc;
}

// Three streams over three adjacent stretches of a block, each `rounds` words
// long; the CRC32C instruction takes a new word every cycle but answers only
// after a few, so independent streams keep it busy. The earlier stretches'
// registers are then moved to the block's end by one multiplication each.
constexpr std::size_t maxRounds = 128;

constexpr auto wordShifts = makeWordShifts<2 * maxRounds>();

TAV_PMULL_TARGET inline std::uint64_t times(std::uint32_t crc, std::uint64_t k) {
    return vgetq_lane_u64(vreinterpretq_u64_p128(vmull_p64(crc, k)), 0);
}

}  // namespace

TAV_CRC_TARGET unsigned int crc32Arm(const unsigned char* p, std::size_t length, unsigned int crc) noexcept {
    return words(crc, p, length);
}

TAV_PMULL_TARGET unsigned int crc32ArmStreams(const unsigned char* p, std::size_t length, unsigned int crc) noexcept {
    while (length >= 3 * 8 * 4) {
        const std::size_t rounds = std::min(length / 24, maxRounds), stretch = 8 * rounds;
        std::uint32_t c0 = crc, c1 = 0, c2 = 0;
        for (std::size_t i = 0; i < stretch; i += 8) {
            c0 = __crc32cd(c0, word(p + i));
            c1 = __crc32cd(c1, word(p + stretch + i));
            c2 = __crc32cd(c2, word(p + 2 * stretch + i));
        }
        crc = __crc32cd(0, times(c0, wordShifts[2 * rounds]) ^ times(c1, wordShifts[rounds])) ^ c2;
        p += 3 * stretch;
        length -= 3 * stretch;
    }
    return words(crc, p, length);
}

#if defined(__linux__)
bool armCrcAvailable() noexcept { return (getauxval(AT_HWCAP) & HWCAP_CRC32) != 0; }
bool armPmullAvailable() noexcept { return armCrcAvailable() && (getauxval(AT_HWCAP) & HWCAP_PMULL) != 0; }
#else
// Elsewhere, only what the compiler was told the processor has.
#if defined(__ARM_FEATURE_CRC32)
constexpr bool crcInstructions = true;
#else
constexpr bool crcInstructions = false;
#endif
#if defined(__ARM_FEATURE_CRYPTO) || defined(__ARM_FEATURE_AES)
constexpr bool polynomialMultiplication = true;
#else
constexpr bool polynomialMultiplication = false;
#endif
bool armCrcAvailable() noexcept { return crcInstructions; }
bool armPmullAvailable() noexcept { return crcInstructions && polynomialMultiplication; }
#endif

}  // namespace Tav::Security::Hash::detail

#endif

// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace Tav::Security::Hash::detail {

// A kernel continues a running register `crc` over `length` more bytes, its
// arguments in the public function's order. Every kernel gives the same
// values; they differ in the instructions they need.
using Kernel = unsigned int (*)(const unsigned char* bytes, std::size_t length, unsigned int crc) noexcept;

// The checksum of a whole message, as Crc32(bytes, length) takes it.
using Whole = unsigned int (*)(const unsigned char* bytes, unsigned int length) noexcept;

template <Kernel run>
unsigned int whole(const unsigned char* bytes, unsigned int length) noexcept {
    return run(bytes, length, 0);
}

struct KernelInfo {
    const char* name;
    Kernel run;
    Whole whole;                   // run from zero: where the loader binds Crc32(bytes, length) to it, one jump on
    bool (*available)() noexcept;  // whether this processor and operating system can run it
};

template <Kernel run>
constexpr KernelInfo kernel(const char* name, bool (*available)() noexcept) {
    return {name, run, whole<run>, available};
}

// Every kernel built for this target, runnable here or not, the portable one
// first; where TAV_CRC32_SHAPES is defined (the tests and the benchmark), the
// AVX-512 kernel's other shapes after them.
struct KernelList {
    const KernelInfo* begin;
    const KernelInfo* end;
};
KernelList kernels() noexcept;

// The kernel for this processor, and its form from zero. They may run while
// the loader is still relocating the library (IFUNC resolvers), before any
// initialiser and before calls to other libraries can be made: they and the
// processor checks they call are built without the sanitizers' and the
// fuzzers' instrumentation, which calls their runtime. Clang needs both
// attributes: with no_sanitize alone ThreadSanitizer's entry and exit calls
// stay, and Clang 14's AddressSanitizer ignores the other.
#if defined(__clang__)
#define TAV_CRC32_NO_SANITIZE no_sanitize("address", "thread", "undefined", "coverage")
#else
#define TAV_CRC32_NO_SANITIZE no_sanitize("address", "thread", "undefined")
#endif
#if defined(__has_attribute) && __has_attribute(disable_sanitizer_instrumentation)
#define TAV_CRC32_LOADER_SAFE __attribute__((TAV_CRC32_NO_SANITIZE, disable_sanitizer_instrumentation))
#elif defined(__has_attribute) && __has_attribute(no_sanitize_coverage)
#define TAV_CRC32_LOADER_SAFE __attribute__((TAV_CRC32_NO_SANITIZE, no_sanitize_coverage))
#else
#define TAV_CRC32_LOADER_SAFE __attribute__((TAV_CRC32_NO_SANITIZE))
#endif
TAV_CRC32_LOADER_SAFE Kernel chosenKernel() noexcept;
TAV_CRC32_LOADER_SAFE Whole chosenWhole() noexcept;

// The chosen kernel's entry in kernels().
const KernelInfo& chosen() noexcept;

// The kernels of each instruction family, in their own sources.

// Slicing-by-8 tables: runs on any processor.
unsigned int crc32Portable(const unsigned char* bytes, std::size_t length, unsigned int crc) noexcept;

#if defined(__x86_64__) || defined(__i386__)
unsigned int crc32Fold128(const unsigned char* bytes, std::size_t length, unsigned int crc) noexcept;
unsigned int crc32Streams(const unsigned char* bytes, std::size_t length, unsigned int crc) noexcept;
unsigned int crc32Hybrid128(const unsigned char* bytes, std::size_t length, unsigned int crc) noexcept;
TAV_CRC32_LOADER_SAFE bool crcClmulAvailable() noexcept;
#endif
#if defined(__x86_64__)
unsigned int crc32Fold256(const unsigned char* bytes, std::size_t length, unsigned int crc) noexcept;
unsigned int crc32Hybrid256(const unsigned char* bytes, std::size_t length, unsigned int crc) noexcept;
unsigned int crc32Fold512(const unsigned char* bytes, std::size_t length, unsigned int crc) noexcept;
unsigned int crc32Hybrid512(const unsigned char* bytes, std::size_t length, unsigned int crc) noexcept;
TAV_CRC32_LOADER_SAFE bool avx2ClmulAvailable() noexcept;
TAV_CRC32_LOADER_SAFE bool avx512ClmulAvailable() noexcept;
#if defined(TAV_CRC32_SHAPES)
KernelList shapes() noexcept;
#endif
#endif

#if defined(__aarch64__)
unsigned int crc32Arm(const unsigned char* bytes, std::size_t length, unsigned int crc) noexcept;
unsigned int crc32ArmStreams(const unsigned char* bytes, std::size_t length, unsigned int crc) noexcept;
TAV_CRC32_LOADER_SAFE bool armCrcAvailable() noexcept;
TAV_CRC32_LOADER_SAFE bool armPmullAvailable() noexcept;
#endif

// Polynomial arithmetic modulo P in the register's bit order (bit 31 is the
// coefficient of x^0), for the constants the kernels fold and shift by.
constexpr std::uint32_t reflectedPolynomial = 0x82F63B78u;

constexpr std::uint32_t multiplyModP(std::uint32_t a, std::uint32_t b) {
    std::uint32_t product = 0;
    for (int i = 0; i < 32; ++i, b = (b >> 1) ^ ((b & 1) ? reflectedPolynomial : 0))
        if (a & (0x80000000u >> i)) product ^= b;
    return product;
}

// x^e mod P.
constexpr std::uint32_t powerOfX(std::uint64_t e) {
    std::uint32_t result = 0x80000000u, square = 0x40000000u;  // x^0, x^1
    for (; e > 0; e >>= 1, square = multiplyModP(square, square))
        if (e & 1) result = multiplyModP(result, square);
    return result;
}

// The constant that moves a register `bytes` further along the message (the
// register after that many zero bytes) with one carry-less multiplication and
// one 8-byte CRC32 step: the product comes out shifted by one bit and the step
// multiplies by x^32, hence the 33.
constexpr std::uint32_t shiftConstant(std::uint64_t bytes) { return powerOfX(8 * bytes - 33); }

// Indexed by a distance in 8-byte words (1 to maxWords), the shift constant
// that moves a register that far: where streams run side by side over adjacent
// stretches, each register moves past the stretches after its own.
template <std::size_t maxWords>
using WordShifts = std::array<std::uint32_t, maxWords + 1>;

template <std::size_t maxWords>
constexpr WordShifts<maxWords> makeWordShifts() {
    WordShifts<maxWords> t{};
    t[1] = shiftConstant(8);
    const std::uint32_t word = powerOfX(64);
    for (std::size_t w = 2; w <= maxWords; ++w) t[w] = multiplyModP(t[w - 1], word);
    return t;
}

}  // namespace Tav::Security::Hash::detail

// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <tav/security/crc32.hpp>

#include <cstring>

#include "security/crc32_detail.hpp"

namespace Tav::Security::Hash {

// Where the loader can choose a function's code as it binds it (IFUNC: ELF with
// glibc), both forms of the checksum of bytes are bound to the chosen kernel
// itself, so a call costs no more than calling the kernel. Elsewhere (Windows,
// and C libraries without IFUNC) they call the kernel through a pointer set
// while the library loads; so does 32-bit x86, whose arguments on the stack
// keep the form from zero from jumping on to the kernel: there the call it
// must make cost more than the pointer (9.2 ns at 16 bytes against 8.3).
#if defined(__ELF__) && defined(__GLIBC__) && !defined(__i386__)

// With external linkage, so that both compilers find them by these names; hidden.
extern "C" __attribute__((visibility("hidden"))) TAV_CRC32_LOADER_SAFE detail::Kernel tavChooseCrc32() {
    return detail::chosenKernel();
}
extern "C" __attribute__((visibility("hidden"))) TAV_CRC32_LOADER_SAFE detail::Whole tavChooseWholeCrc32() {
    return detail::chosenWhole();
}

unsigned int Crc32(const unsigned char* bytes, std::size_t length, unsigned int previous) noexcept
    __attribute__((ifunc("tavChooseCrc32")));
unsigned int Crc32(const unsigned char* bytes, unsigned int length) noexcept __attribute__((ifunc("tavChooseWholeCrc32")));

#else

namespace {

const detail::Kernel kernel = detail::chosenKernel();

// A call made while libraries are still loading (from another one's static
// initialiser) may find no choice yet and takes the portable kernel.
inline unsigned int run(const unsigned char* bytes, std::size_t length, unsigned int previous) noexcept {
    return (kernel ? kernel : detail::crc32Portable)(bytes, length, previous);
}

}  // namespace

unsigned int Crc32(const unsigned char* bytes, std::size_t length, unsigned int previous) noexcept {
    return run(bytes, length, previous);
}

unsigned int Crc32(const unsigned char* bytes, unsigned int length) noexcept { return run(bytes, length, 0u); }

#endif

unsigned int Crc32(const char* text) noexcept {
    return Crc32(reinterpret_cast<const unsigned char*>(text), std::strlen(text) + 1, 0u);
}

}  // namespace Tav::Security::Hash

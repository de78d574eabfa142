// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <tav/security/crc32.hpp>

#include <cstring>

#include "security/crc32_detail.hpp"

namespace Tav::Security::Hash {

// Where the loader can choose a function's code as it binds it (IFUNC: ELF with
// glibc), the running form is bound to the chosen kernel itself, so a call
// costs no more than calling the kernel. Elsewhere (Windows, and C libraries
// without IFUNC) it calls the kernel through a pointer set while the library
// loads.
#if defined(__ELF__) && defined(__GLIBC__)

// With external linkage, so that both compilers find it by this name; hidden.
extern "C" __attribute__((visibility("hidden"))) TAV_CRC32_LOADER_SAFE detail::Kernel tavChooseCrc32() {
    return detail::chosen().run;
}

unsigned int Crc32(const unsigned char* bytes, std::size_t length, unsigned int previous) noexcept
    __attribute__((ifunc("tavChooseCrc32")));

#else

namespace {
const detail::Kernel chosenKernel = detail::chosen().run;
}

unsigned int Crc32(const unsigned char* bytes, std::size_t length, unsigned int previous) noexcept {
    // A call made while libraries are still loading (from another one's static
    // initialiser) may find no choice yet and takes the portable kernel.
    return (chosenKernel ? chosenKernel : detail::crc32Portable)(bytes, length, previous);
}

#endif

unsigned int Crc32(const unsigned char* bytes, unsigned int length) noexcept { return Crc32(bytes, length, 0u); }

unsigned int Crc32(const char* text) noexcept {
    return Crc32(reinterpret_cast<const unsigned char*>(text), std::strlen(text) + 1, 0u);
}

}  // namespace Tav::Security::Hash

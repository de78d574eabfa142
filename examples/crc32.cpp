// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// Tav's CRC-32: the Castagnoli polynomial (that of CRC-32C), started at zero
// and with no final inversion. CRC-32C starts at 0xFFFFFFFF and inverts its
// result, and zlib's CRC-32 uses another polynomial as well, so the three give
// three different values for the same bytes; a value from one cannot be checked
// with another. The text form hashes a key with its terminating zero byte, as a
// locale file files its keys.
#include <cstdio>
#include <cstring>

#include <tav/tav.hpp>

int main() {
    const char* text = "123456789";
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    using Tav::Security::Hash::Crc32;
    std::printf("bytes of \"%s\":     %08x (CRC-32C: e3069283, zlib's CRC-32: cbf43926)\n", text,
                Crc32(bytes, static_cast<unsigned int>(std::strlen(text))));
    std::printf("key \"%s\" and zero: %08x\n", text, Crc32(text));
    // A long input in blocks, each call carrying the previous one's result on.
    unsigned int running = 0;
    for (std::size_t at = 0; at < 9; at += 4)
        running = Crc32(bytes + at, at + 4 <= 9 ? 4 : 9 - at, running);
    std::printf("the same bytes in blocks: %08x\n", running);
}

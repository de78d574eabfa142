// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <array>
#include <cstring>

#include "security/crc32_detail.hpp"

namespace Tav::Security::Hash::detail {

namespace {

using Tables = std::array<std::array<std::uint32_t, 256>, 8>;

// tables[0] is the byte table; tables[k][i] advances tables[k-1][i] by one zero byte.
constexpr Tables makeTables() {
    Tables t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t r = i;
        for (int bit = 0; bit < 8; ++bit) r = (r >> 1) ^ ((r & 1) ? reflectedPolynomial : 0);
        t[0][i] = r;
    }
    for (std::size_t k = 1; k < 8; ++k)
        for (std::size_t i = 0; i < 256; ++i) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
    return t;
}

constexpr Tables tables = makeTables();

}  // namespace

unsigned int crc32Portable(const unsigned char* p, std::size_t length, unsigned int crc) noexcept {
    for (; length >= 8; length -= 8, p += 8) {
        const std::uint32_t low =
            crc ^ (std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
                   std::uint32_t{p[3]} << 24);
        crc = tables[7][low & 0xFF] ^ tables[6][(low >> 8) & 0xFF] ^ tables[5][(low >> 16) & 0xFF] ^
              tables[4][low >> 24] ^ tables[3][p[4]] ^ tables[2][p[5]] ^ tables[1][p[6]] ^ tables[0][p[7]];
    }
    for (; length > 0; --length, ++p) crc = (crc >> 8) ^ tables[0][(crc ^ *p) & 0xFF];
    return crc;
}

}  // namespace Tav::Security::Hash::detail

// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <cstdint>

namespace Tav::detail {

// Reads a little-endian 32-bit number from any address, aligned or not.
inline std::uint32_t loadLE32(const void* at) noexcept {
    const auto* b = static_cast<const unsigned char*>(at);
    return std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 |
           std::uint32_t{b[3]} << 24;
}

}  // namespace Tav::detail

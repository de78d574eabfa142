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

// Reads a big-endian 32-bit number from any address.
inline std::uint32_t loadBE32(const void* at) noexcept {
    const auto* b = static_cast<const unsigned char*>(at);
    return std::uint32_t{b[3]} | std::uint32_t{b[2]} << 8 | std::uint32_t{b[1]} << 16 |
           std::uint32_t{b[0]} << 24;
}

// Reads a little-endian 64-bit number from any address.
inline std::uint64_t loadLE64(const void* at) noexcept {
    const auto* b = static_cast<const unsigned char*>(at);
    return std::uint64_t{loadLE32(b)} | std::uint64_t{loadLE32(b + 4)} << 32;
}

}  // namespace Tav::detail

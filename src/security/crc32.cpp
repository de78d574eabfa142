// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <tav/security/crc32.hpp>

#include <cstring>

#include "security/crc32_detail.hpp"

namespace Tav::Security::Hash {

unsigned int Crc32(const unsigned char* bytes, unsigned int length) noexcept { return detail::crc32(0, bytes, length); }

unsigned int Crc32(const unsigned char* bytes, std::size_t length, unsigned int previous) noexcept {
    return detail::crc32(previous, bytes, length);
}

unsigned int Crc32(const char* text) noexcept {
    return Crc32(reinterpret_cast<const unsigned char*>(text),
                 static_cast<unsigned int>(std::strlen(text) + 1));
}

}  // namespace Tav::Security::Hash

// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <cstddef>

#include <tav/export.hpp>

namespace Tav::Security::Hash {

/// CRC-32 with the Castagnoli polynomial (reflected 0x82F63B78), started at zero
/// and returned without a final inversion: "123456789" gives 0x58E3FA20. This is
/// not the standard CRC-32C, which starts at all ones and inverts at the end.
/// Pure and allocation-free; safe to call from any number of threads.

/// The checksum of `length` bytes starting at `bytes`. A length of 0 yields 0.
TAV_API unsigned int Crc32(const unsigned char* bytes, unsigned int length) noexcept;

/// The checksum continued over `length` more bytes from the checksum `previous`
/// of the bytes before them: as the register starts at zero and is not
/// inverted at the end, the checksum of a message read in blocks is each
/// block's call with the last one's result, starting from 0:
///
///     unsigned int sum = 0;
///     while (std::size_t n = readBlock(block)) sum = Crc32(block, n, sum);
///
/// Crc32(bytes, length, 0) is Crc32(bytes, length), for any length.
TAV_API unsigned int Crc32(const unsigned char* bytes, std::size_t length, unsigned int previous) noexcept;

/// The checksum of a zero-terminated text including its terminating zero byte:
/// the hash under which a Locale files the text of this key.
TAV_API unsigned int Crc32(const char* text) noexcept;

}  // namespace Tav::Security::Hash

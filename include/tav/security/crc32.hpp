#pragma once

#include <tav/export.hpp>

namespace Tav::Security::Hash {

/// CRC-32 with the Castagnoli polynomial (reflected 0x82F63B78), started at zero
/// and returned without a final inversion: "123456789" gives 0x58E3FA20. This is
/// not the standard CRC-32C, which starts at all ones and inverts at the end.
/// Pure and allocation-free; safe to call from any number of threads.

/// The checksum of `length` bytes starting at `bytes`. A length of 0 yields 0.
TAV_API unsigned int Crc32(const unsigned char* bytes, unsigned int length) noexcept;

/// The checksum of a zero-terminated text including its terminating zero byte:
/// the hash under which a Locale files the text of this key.
TAV_API unsigned int Crc32(const char* text) noexcept;

}  // namespace Tav::Security::Hash

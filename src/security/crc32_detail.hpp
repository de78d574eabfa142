#pragma once

#include <cstddef>
#include <cstdint>

namespace Tav::Security::Hash::detail {

// Every method continues a running register `crc` over `length` more bytes;
// all give identical values.

// Slicing-by-8 tables: runs on any processor.
std::uint32_t crc32Portable(std::uint32_t crc, const unsigned char* bytes, std::size_t length) noexcept;

// Carry-less multiplication (PCLMULQDQ) folding 16-byte blocks, reduced with
// the SSE4.2 CRC32 instruction. Call only where hardwareAvailable() is true.
std::uint32_t crc32Hardware(std::uint32_t crc, const unsigned char* bytes, std::size_t length) noexcept;

// The same, folding 64-byte registers with AVX-512 and VPCLMULQDQ for long
// inputs. Call only where wideAvailable() is true.
std::uint32_t crc32Wide(std::uint32_t crc, const unsigned char* bytes, std::size_t length) noexcept;

// The method chosen for this processor, continuing `crc` over `length` bytes.
std::uint32_t crc32(std::uint32_t crc, const unsigned char* bytes, std::size_t length) noexcept;

// What this processor has (cpuid, and the operating system's support for the registers).
bool hardwareAvailable() noexcept;
bool wideAvailable() noexcept;

}  // namespace Tav::Security::Hash::detail

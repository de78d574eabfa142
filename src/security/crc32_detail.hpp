#pragma once

#include <cstddef>
#include <cstdint>

namespace Tav::Security::Hash::detail {

// Every method continues a running register `crc` over `length` more bytes;
// all give identical values.

// Slicing-by-8 tables: runs on any processor.
std::uint32_t crc32Portable(std::uint32_t crc, const unsigned char* bytes, std::size_t length) noexcept;

// The SSE4.2 CRC32 instruction on whole words, three independent streams merged
// for long inputs. Call only where hardwareAvailable() is true.
std::uint32_t crc32Hardware(std::uint32_t crc, const unsigned char* bytes, std::size_t length) noexcept;

// True when this processor has the CRC32 instruction (checked with cpuid).
bool hardwareAvailable() noexcept;

// Advances a register over `bytes` zero bytes in four table look-ups: the CRC is
// linear, so the register of a concatenation A+B is shift(crc(A), |B|) ^ crc(B).
class Shift {
public:
    explicit Shift(std::size_t bytes) noexcept;
    std::uint32_t operator()(std::uint32_t crc) const noexcept {
        return table[0][crc & 0xFF] ^ table[1][(crc >> 8) & 0xFF] ^ table[2][(crc >> 16) & 0xFF] ^
               table[3][crc >> 24];
    }

private:
    std::uint32_t table[4][256];
};

}  // namespace Tav::Security::Hash::detail

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <tav/security/crc32.hpp>

#include "security/crc32_detail.hpp"

#if TAV_HAVE_ISAL
#include <isa-l/crc.h>
#endif

using Tav::Security::Hash::Crc32;
namespace detail = Tav::Security::Hash::detail;

namespace {

// Straight from the parameters: reflected polynomial 0x1EDC6F41, register
// starting at zero, no final inversion, one bit at a time.
std::uint32_t reference(const unsigned char* p, std::size_t n) {
    std::uint32_t reflected = 0;
    for (int i = 0; i < 32; ++i)
        if (0x1EDC6F41u & (1u << i)) reflected |= 1u << (31 - i);
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1) ? reflected : 0);
    }
    return crc;
}

const unsigned char* bytes(const char* text) { return reinterpret_cast<const unsigned char*>(text); }

}  // namespace

TEST(Crc32, CheckValues) {
    EXPECT_EQ(Crc32(bytes("123456789"), 9), 0x58E3FA20u);
    EXPECT_EQ(Crc32("123456789"), 0x20E56D24u);
    EXPECT_EQ(Crc32(""), 0u);
    EXPECT_EQ(Crc32("abc"), 0x7CF3458Bu);
    EXPECT_EQ(Crc32(bytes("abc"), 3), 0x562F9CCDu);
    EXPECT_EQ(Crc32(nullptr, 0), 0u);
    EXPECT_EQ(Crc32(bytes("\0\0a"), 3), Crc32(bytes("a"), 1));  // leading zeros change nothing
    // High bytes enter as unsigned values; the text form is the bytes plus a zero.
    EXPECT_EQ(Crc32("\xE9\xFF"), Crc32(bytes("\xE9\xFF\0"), 3));
}

TEST(Crc32, EveryMethodMatchesTheBitwiseReference) {
    std::mt19937 random(12345);
    std::vector<unsigned char> data(4096 + 16);
    for (auto& b : data) b = static_cast<unsigned char>(random());
    const bool hardware = detail::hardwareAvailable(), wide = detail::wideAvailable();
    if (!hardware) std::cout << "note: no CRC32 and PCLMULQDQ instructions here; checking the portable method only\n";
    if (!wide) std::cout << "note: no AVX-512 VPCLMULQDQ here; the wide method is not checked\n";
    for (std::size_t align = 0; align < 16; ++align) {
        for (std::size_t n = 0; n <= 4096; ++n) {
            const unsigned char* p = data.data() + align;
            const std::uint32_t want = reference(p, n);
            ASSERT_EQ(detail::crc32Portable(0, p, n), want) << "n=" << n << " align=" << align;
            if (hardware) {
                ASSERT_EQ(detail::crc32Hardware(0, p, n), want) << "n=" << n << " align=" << align;
            }
            if (wide) {
                ASSERT_EQ(detail::crc32Wide(0, p, n), want) << "n=" << n << " align=" << align;
            }
        }
    }
}

TEST(Crc32, LongInputsAndRunningRegisters) {
    std::mt19937 random(7);
    std::vector<unsigned char> data(3 * 4096 * 3 + 3 * 256 * 2 + 77);
    for (auto& b : data) b = static_cast<unsigned char>(random());
    for (std::size_t n : {std::size_t{768}, std::size_t{769}, std::size_t{12288}, std::size_t{12288 + 767},
                          data.size()}) {
        const std::uint32_t want = reference(data.data(), n);
        EXPECT_EQ(Crc32(data.data(), static_cast<unsigned>(n)), want) << n;
        EXPECT_EQ(detail::crc32Portable(0, data.data(), n), want) << n;
        if (detail::hardwareAvailable()) {
            EXPECT_EQ(detail::crc32Hardware(0, data.data(), n), want) << n;
            EXPECT_EQ(detail::crc32Hardware(0x12345678, data.data(), n), detail::crc32Portable(0x12345678, data.data(), n));
        }
        if (detail::wideAvailable()) {
            EXPECT_EQ(detail::crc32Wide(0, data.data(), n), want) << n;
            EXPECT_EQ(detail::crc32Wide(0x12345678, data.data(), n), detail::crc32Portable(0x12345678, data.data(), n));
        }
    }
}

#if TAV_HAVE_ISAL
TEST(Crc32, AgreesWithIsaL) {
    std::mt19937 random(99);
    std::vector<unsigned char> data(70000);
    for (auto& b : data) b = static_cast<unsigned char>(random());
    for (std::size_t n : {0, 1, 9, 16, 100, 1024, 4097, 65536, 70000})
        EXPECT_EQ(Crc32(data.data(), static_cast<unsigned>(n)),
                  crc32_iscsi(data.data(), static_cast<int>(n), 0))
            << n;
}
#endif

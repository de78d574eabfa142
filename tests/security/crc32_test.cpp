// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <algorithm>
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
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

using Tav::Security::Hash::Crc32;
namespace detail = Tav::Security::Hash::detail;

namespace {

// Straight from the parameters: reflected polynomial 0x1EDC6F41, no final
// inversion, one bit at a time, continuing the register `crc`.
std::uint32_t reference(std::uint32_t crc, const unsigned char* p, std::size_t n) {
    std::uint32_t reflected = 0;
    for (int i = 0; i < 32; ++i)
        if (0x1EDC6F41u & (1u << i)) reflected |= 1u << (31 - i);
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1) ? reflected : 0);
    }
    return crc;
}

const unsigned char* bytes(const char* text) { return reinterpret_cast<const unsigned char*>(text); }

// Pages that can be read, between two that cannot: a read before or past them
// faults in any build, where a sanitizer would be needed to see it in a vector.
class Fenced {
public:
    explicit Fenced(std::size_t pages) {
#ifdef _WIN32
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        page = info.dwPageSize;
        base = static_cast<unsigned char*>(VirtualAlloc(nullptr, (pages + 2) * page, MEM_RESERVE, PAGE_NOACCESS));
        if (base) VirtualAlloc(base + page, pages * page, MEM_COMMIT, PAGE_READWRITE);
#else
        page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        void* m = mmap(nullptr, (pages + 2) * page, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        base = m == MAP_FAILED ? nullptr : static_cast<unsigned char*>(m);
        if (base) mprotect(base + page, pages * page, PROT_READ | PROT_WRITE);
#endif
        size = pages * page;
    }
    ~Fenced() {
#ifdef _WIN32
        if (base) VirtualFree(base, 0, MEM_RELEASE);
#else
        if (base) munmap(base, size + 2 * page);
#endif
    }
    Fenced(const Fenced&) = delete;
    Fenced& operator=(const Fenced&) = delete;
    unsigned char* begin() const { return base + page; }
    unsigned char* end() const { return base + page + size; }
    bool ok() const { return base != nullptr; }

private:
    unsigned char* base;
    std::size_t page, size;
};

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

// The running form continues a checksum over a message cut anywhere.
TEST(Crc32, ContinuesOverBlocks) {
    std::mt19937 random(7);
    std::vector<unsigned char> message(5000);
    for (auto& b : message) b = static_cast<unsigned char>(random());
    const unsigned whole = Crc32(message.data(), static_cast<unsigned>(message.size()));
    EXPECT_EQ(Crc32(message.data(), message.size(), 0), whole);
    EXPECT_EQ(Crc32(message.data(), 0, 0x12345678u), 0x12345678u);
    for (int round = 0; round < 200; ++round) {
        std::size_t at = 0;
        unsigned sum = 0;
        while (at < message.size()) {
            const std::size_t n = std::min<std::size_t>(random() % 700, message.size() - at);
            sum = Crc32(message.data() + at, n, sum);
            at += n;
        }
        ASSERT_EQ(sum, whole) << "round " << round;
    }
}

// One test per kernel built for this target, named after it; a kernel this
// processor cannot run is skipped by name.
class Crc32Kernel : public testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        for (auto k = detail::kernels().begin; k != detail::kernels().end; ++k)
            if (GetParam() == k->name) kernel = k;
        ASSERT_NE(kernel, nullptr);
        if (!kernel->available()) GTEST_SKIP() << GetParam() << " needs instructions this processor lacks";
    }
    std::uint32_t run(std::uint32_t crc, const unsigned char* p, std::size_t n) const { return kernel->run(p, n, crc); }
    const detail::KernelInfo* kernel = nullptr;
};

std::vector<std::string> kernelNames() {
    std::vector<std::string> names;
    for (auto k = detail::kernels().begin; k != detail::kernels().end; ++k) names.emplace_back(k->name);
    return names;
}

INSTANTIATE_TEST_SUITE_P(Crc32, Crc32Kernel, testing::ValuesIn(kernelNames()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

TEST_P(Crc32Kernel, MatchesTheBitwiseReferenceAtEveryLengthAndAlignment) {
    std::mt19937 random(12345);
    std::vector<unsigned char> data(4096 + 16);
    for (auto& b : data) b = static_cast<unsigned char>(random());
    for (std::size_t align = 0; align < 16; ++align) {
        const unsigned char* p = data.data() + align;
        std::uint32_t want = 0;
        for (std::size_t n = 0; n <= 4096; want = reference(want, p + n, 1), ++n)
            ASSERT_EQ(run(0, p, n), want) << "n=" << n << " align=" << align;
    }
}

// No kernel reads a byte before or past its input, at any length up to a few
// of its widest blocks.
TEST_P(Crc32Kernel, ReadsOnlyItsInput) {
    Fenced fence(4);
    ASSERT_TRUE(fence.ok());
    std::mt19937 random(3);
    std::generate(fence.begin(), fence.end(), [&] { return static_cast<unsigned char>(random()); });
    for (std::size_t n = 0; n <= 1100; ++n) {
        const unsigned char* first = fence.begin();
        const unsigned char* last = fence.end() - n;
        ASSERT_EQ(run(0, first, n), reference(0, first, n)) << n;
        ASSERT_EQ(run(0, last, n), reference(0, last, n)) << n;
    }
}

// Inputs of one to many of the kernels' blocks with odd remainders, whole and
// cut in two with the register carried over, and started from registers other
// than zero.
TEST_P(Crc32Kernel, CarriesTheRunningRegister) {
    std::mt19937 random(7);
    std::vector<unsigned char> data(200000);
    for (auto& b : data) b = static_cast<unsigned char>(random());
    const unsigned char* p = data.data() + 3;
    for (std::size_t n : {std::size_t{4097}, std::size_t{8191}, std::size_t{9336}, std::size_t{17408},
                          std::size_t{17700}, std::size_t{65536}, data.size() - 3}) {
        const std::uint32_t want = reference(0, p, n);
        EXPECT_EQ(run(0, p, n), want) << n;
        EXPECT_EQ(kernel->whole(p, static_cast<unsigned>(n)), want) << n;
        for (std::size_t cut : {std::size_t{1}, std::size_t{100}, n / 3, n - 31})
            EXPECT_EQ(run(run(0, p, cut), p + cut, n - cut), want) << n << " cut at " << cut;
        for (std::uint32_t start : {0x12345678u, 0xFFFFFFFFu})
            EXPECT_EQ(run(start, p, n), reference(start, p, n)) << n << " from " << start;
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

// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <cstring>

#include <gtest/gtest.h>

#include <tav/format/fourcc.hpp>

using namespace Tav::Format;

TEST(FourCC, KnownCodes) {
    EXPECT_EQ(KnownFourCC::NAME.value, KnownFourCC::OSTR.value);
    EXPECT_EQ(std::memcmp(KnownFourCC::NAME.chars, "OSTR", 4), 0);
    EXPECT_NE(KnownFourCC::RIFF.value, KnownFourCC::LIST.value);
    EXPECT_NE(KnownFourCC::RIFF.value, KnownFourCC::OSTR.value);
    EXPECT_NE(KnownFourCC::LIST.value, KnownFourCC::OSTR.value);
    // Little-endian: the first character is the least significant byte.
    EXPECT_EQ(KnownFourCC::RIFF.value & 0xFF, static_cast<unsigned>('R'));
    EXPECT_EQ(KnownFourCC::RIFF.value >> 24, static_cast<unsigned>('F'));
    EXPECT_EQ(KnownFourCC::LIST.value, 0x5453494Cu);
}

TEST(FourCC, ComparisonIsByteExact) {
    FourCC lower;
    std::memcpy(lower.chars, "list", 4);
    EXPECT_NE(lower.value, KnownFourCC::LIST.value);
    FourCC spaced, other;
    std::memcpy(spaced.chars, "ab  ", 4);
    std::memcpy(other.chars, "ab  ", 4);
    EXPECT_EQ(spaced.value, other.value);
    std::memcpy(other.chars, "ab\0\0", 4);
    EXPECT_NE(spaced.value, other.value);
}

// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <cstring>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include <tav/format/riff/file.hpp>

#include "errors.hpp"
#include "riff_writer.hpp"

using namespace Tav::Format;
using tavtool::chunk;
using tavtool::riff;

TEST(RiffChunk, ReadsHeaderAndDataOnDemand) {
    std::istringstream data(riff("TEST", chunk("odd ", "abc") + chunk("zero", "") + chunk("next", "Z")));
    RIFF::File file(data);
    ASSERT_EQ(file.count(), 3);
    RIFF::Chunk& odd = file[0];
    EXPECT_EQ(odd.offset(), 12u);
    EXPECT_EQ(odd.length(), 3u);
    EXPECT_EQ(std::memcmp(odd.type().chars, "odd ", 4), 0);
    EXPECT_EQ(file[1].offset(), 12u + 8 + 3);  // no pad byte after odd lengths
    EXPECT_EQ(file[2].offset(), 12u + 8 + 3 + 8);

    EXPECT_EQ(std::string(odd.open(), 3), "abc");
    EXPECT_THROWS_PTR(std::invalid_argument, odd.open(), "Chunk already open!");
    odd.close();
    EXPECT_THROWS_PTR(std::invalid_argument, odd.close(), "Chunk is not open!");
    EXPECT_EQ(std::string(odd.open(), 3), "abc");  // opens again after closing
    odd.close();

    const char* empty = file[1].open();
    EXPECT_NE(empty, nullptr);
    file[1].close();
}

TEST(RiffChunk, UnparentedUnlessGivenAFile) {
    std::istringstream data(riff("TEST", tavtool::list("ABCD", chunk("DATA", "x"))));
    RIFF::File file(data);
    RIFF::Chunk fromList(file[0], 24);
    RIFF::Chunk fromChunk(fromList, 24);
    RIFF::Chunk fromFile(file, 24);
    EXPECT_THROWS_PTR(std::invalid_argument, fromList.offset(), "Unparented chunk!");
    EXPECT_THROWS_PTR(std::invalid_argument, fromChunk.length(), "Unparented chunk!");
    EXPECT_EQ(fromFile.offset(), 24u);
    EXPECT_EQ(std::memcmp(fromFile.type().chars, "DATA", 4), 0);

    RIFF::Chunk lonely;
    EXPECT_THROWS_PTR(std::invalid_argument, lonely.type(), "Unparented chunk!");
    EXPECT_THROWS_PTR(std::invalid_argument, lonely.open(), "Unparented chunk!");
    EXPECT_THROWS_PTR(std::invalid_argument, lonely.close(), "Unparented chunk!");
}

TEST(RiffChunk, ListTypeHidesChunkType) {
    std::istringstream data(riff("TEST", tavtool::list("ABCD", "")));
    RIFF::File file(data);
    RIFF::Chunk& asChunk = file[0];
    EXPECT_EQ(asChunk.type().value, KnownFourCC::LIST.value);
    auto& asList = static_cast<RIFF::List&>(file[0]);
    EXPECT_EQ(std::memcmp(asList.type().chars, "ABCD", 4), 0);
}

TEST(RiffChunk, CopiesShareTheOpenBufferSafely) {
    std::istringstream data(riff("TEST", chunk("DATA", "hello")));
    RIFF::File file(data);
    RIFF::Chunk& source = file[0];
    const char* bytes = source.open();
    {
        RIFF::Chunk copy(source);
        EXPECT_THROWS_PTR(std::invalid_argument, copy.open(), "Chunk already open!");
        source.close();  // the copy still holds the data
        RIFF::Chunk second(copy);
        EXPECT_EQ(std::string(bytes, 5), "hello");
        copy.close();
        EXPECT_EQ(std::string(bytes, 5), "hello");
    }  // the last holder frees it; the sanitizers check that it happens exactly once
    EXPECT_EQ(std::string(source.open(), 5), "hello");
    source.close();
}

TEST(RiffChunk, OpenRefusesDataPastTheStreamsEnd) {
    // The last child may claim more than its list holds; its data cannot be read.
    std::string bytes = riff("TEST", chunk("HUGE", "abcd"));
    bytes.replace(16, 4, tavtool::le32(0xFFFFFFF0u));
    std::istringstream data(bytes);
    RIFF::File file(data);
    ASSERT_EQ(file.count(), 1);
    EXPECT_EQ(file[0].length(), 0xFFFFFFF0u);
    EXPECT_THROWS_PTR(std::invalid_argument, file[0].open(), "Chunk data past end of stream!");
    EXPECT_THROWS_PTR(std::invalid_argument, file[0].close(), "Chunk is not open!");
}

TEST(RiffChunk, FailedStreamReadsAsZeros) {
    std::istringstream data(riff("TEST", chunk("DATA", "abcd")));
    RIFF::File file(data);
    data.setstate(std::ios::failbit);
    EXPECT_EQ(file[0].type().value, 0u);
    EXPECT_EQ(file[0].length(), 0u);
    EXPECT_NE(file[0].open(), nullptr);  // an empty buffer: the length read as zero
    file[0].close();
}

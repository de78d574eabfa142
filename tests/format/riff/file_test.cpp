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
using tavtool::le32;
using tavtool::riff;

namespace {
const char* const notGood = "Tav::Format::RIFF::File::constructor: Input stream not good!";
const char* const badSignature = "Tav::Format::RIFF::File::constructor: Invalid RIFF signature!";
const char* const badLength = "Tav::Format::RIFF::File::constructor: Malformed RIFF length!";

std::string construct(const std::string& bytes) {
    std::istringstream data(bytes);
    return thrownMessage<std::invalid_argument>([&] { RIFF::File file(data); });
}
}  // namespace

TEST(RiffFile, EmptyFormIsValid) {
    std::istringstream data(riff("WAVE", ""));
    RIFF::File file(data);
    EXPECT_EQ(file.count(), 0);
    EXPECT_EQ(file.length(), 0u);
    EXPECT_EQ(file.offset(), 0u);
    EXPECT_EQ(std::memcmp(file.type().chars, "WAVE", 4), 0);
    RIFF::Chunk& asChunk = file;
    EXPECT_EQ(asChunk.type().value, KnownFourCC::RIFF.value);
}

TEST(RiffFile, ConstructorChecksInOrder) {
    const std::string good = riff("WAVE", chunk("data", "abc"));
    EXPECT_EQ(construct(good), "<nothing thrown>");

    // The published convention counts the form type too: rejected.
    std::string published = good;
    published.replace(4, 4, le32(good.size() - 8));
    EXPECT_EQ(construct(published), badLength);
    EXPECT_EQ(construct(good + "x"), badLength);
    EXPECT_EQ(construct(good.substr(0, good.size() - 1)), badLength);
    EXPECT_EQ(construct("RIFF"), badLength);
    EXPECT_EQ(construct("RIFF\0\0\0"), badLength);
    EXPECT_EQ(construct(std::string("RIFF\0\0\0\0WAV", 11)), badLength);

    for (std::size_t i = 0; i < 4; ++i) {
        std::string wrong = good;
        wrong[i] = static_cast<char>(wrong[i] + 1);
        EXPECT_EQ(construct(wrong), badSignature) << i;
    }
    EXPECT_EQ(construct("riff" + good.substr(4)), badSignature);
    EXPECT_EQ(construct("RIF"), badSignature);
    EXPECT_EQ(construct(""), badSignature);

    std::istringstream failed(good);
    failed.setstate(std::ios::failbit);
    EXPECT_EQ(thrownMessage<std::invalid_argument>([&] { RIFF::File file(failed); }), notGood);
}

TEST(RiffFile, StreamThatCannotSeekFailsTheSignatureTest) {
    struct NoSeek : std::streambuf {
        char data[16] = "RIFF\0\0\0\0WAVE";
        NoSeek() { setg(data, data, data + 12); }
    } buffer;
    std::istream stream(&buffer);
    EXPECT_EQ(thrownMessage<std::invalid_argument>([&] { RIFF::File file(stream); }), badSignature);
}

TEST(RiffFile, ReadPastTheEndFailsForGood) {
    std::istringstream data(riff("WAVE", chunk("data", "abcd")));
    RIFF::File file(data);
    char bytes[8];
    EXPECT_TRUE(file.read(20, 4, bytes));
    EXPECT_EQ(std::string(bytes, 4), "abcd");
    std::memset(bytes, 'Z', sizeof bytes);
    EXPECT_FALSE(file.read(20, 8, bytes));
    EXPECT_EQ(std::string(bytes, 8), std::string("abcd\0\0\0\0", 8));  // the shortfall reads as zero
    EXPECT_FALSE(file.read(0, 4, bytes));  // the error state stays until the caller clears it
    data.clear();
    EXPECT_TRUE(file.read(0, 4, bytes));
}

TEST(RiffFile, DefaultConstructedIsUnparented) {
    RIFF::File file;
    char byte;
    EXPECT_EQ(file.count(), 0);
    EXPECT_THROWS_PTR(std::invalid_argument, file.read(0, 1, &byte), "Unparented chunk!");
    EXPECT_THROWS_PTR(std::invalid_argument, file.length(), "Unparented chunk!");
    EXPECT_THROWS_PTR(std::invalid_argument, file.type(), "Unparented chunk!");
    EXPECT_THROWS_PTR(std::invalid_argument, file.offset(), "Unparented chunk!");
    EXPECT_THROWS_PTR(std::invalid_argument, file.open(), "Unparented chunk!");
}

TEST(RiffFile, SizeCheckCountsFromTheStreamsStartingPosition) {
    // The size is measured from where the stream stood, while reads address the
    // stream from its beginning: with a prefix the two disagree.
    const std::string body = riff("WAVE", "");
    std::istringstream prefixed("xx" + body);
    prefixed.seekg(2);
    EXPECT_EQ(thrownMessage<std::invalid_argument>([&] { RIFF::File file(prefixed); }), badSignature);
}

TEST(RiffFile, LoadLeavesTheStreamAsHeaderByHeaderReadingWould) {
    std::istringstream data(riff("WAVE", chunk("abcd", "12") + chunk("efgh", "345")));
    RIFF::File file(data);
    EXPECT_TRUE(data.good());
    EXPECT_EQ(data.tellg(), std::streampos(22 + 8));  // just past the last header read
}

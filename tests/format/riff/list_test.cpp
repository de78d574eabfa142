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
using tavtool::list;
using tavtool::publishedChunk;
using tavtool::publishedList;
using tavtool::publishedRiff;
using tavtool::riff;

namespace {

// A tree as text: each child as id@offset, a list's type and children in brackets.
std::string shape(RIFF::List& list) {
    std::string out;
    for (std::int32_t i = 0; i < list.count(); ++i) {
        RIFF::Chunk& child = list[static_cast<std::uint32_t>(i)];
        out += (i ? " " : "") + std::string(child.type().chars, 4) + "@" + std::to_string(child.offset());
        if (RIFF::List::is(child)) {
            auto& sublist = static_cast<RIFF::List&>(child);
            out += "(" + std::string(sublist.type().chars, 4) + ": " + shape(sublist) + ")";
        }
    }
    return out;
}

}  // namespace

TEST(RiffList, WalksChildrenInTheLibrarysLengthConvention) {
    const std::string inner = list("INNR", chunk("a   ", "1") + chunk("b   ", ""));
    std::istringstream data(riff("TEST", list("EMPT", "") + inner + chunk("last", "xyz")));
    RIFF::File file(data);
    ASSERT_EQ(file.count(), 3);
    EXPECT_EQ(file[0].offset(), 12u);
    EXPECT_EQ(file[1].offset(), 24u);  // an empty list takes 12 bytes
    EXPECT_EQ(file[2].offset(), 24u + inner.size());

    ASSERT_TRUE(RIFF::List::is(file[1]));
    auto& nested = static_cast<RIFF::List&>(file[1]);
    EXPECT_EQ(nested.count(), 2);
    EXPECT_EQ(std::memcmp(nested.type().chars, "INNR", 4), 0);
    EXPECT_EQ(nested[1].offset(), 24u + 12 + 9);
    EXPECT_EQ(static_cast<RIFF::List&>(file[0]).count(), 0);
    EXPECT_FALSE(RIFF::List::is(file[2]));
    EXPECT_THROWS_PTR(std::range_error, file[3], "List index out of range!");
    EXPECT_THROWS_PTR(std::range_error, nested[0xFFFFFFFFu], "List index out of range!");
}

TEST(RiffList, OnlyLISTMakesAList) {
    std::istringstream data(riff("TEST", chunk("RIFF", "abcd") + chunk("list", "abcd")));
    RIFF::File file(data);
    EXPECT_FALSE(RIFF::List::is(file[0]));
    EXPECT_FALSE(RIFF::List::is(file[1]));
}

TEST(RiffList, ConstructedOverAFileOrUnparented) {
    std::istringstream data(riff("TEST", list("ABCD", chunk("x   ", "1"))));
    RIFF::File file(data);
    RIFF::List view(file, 12);
    EXPECT_EQ(view.count(), 1);
    EXPECT_EQ(view[0].offset(), 24u);
    EXPECT_THROWS_PTR(std::invalid_argument, RIFF::List(file[0], 12), "Unparented chunk!");
    RIFF::List empty;
    EXPECT_EQ(empty.count(), 0);
}

TEST(RiffList, ChildReachingPastItsListIsTheLast) {
    // The inner list's first child claims 100 bytes; the walk keeps it and stops.
    std::string inner = list("INNR", chunk("long", "abcd") + chunk("lost", ""));
    inner.replace(16, 4, le32(100));
    std::istringstream data(riff("TEST", inner + std::string(100, '.')));
    RIFF::File file(data);
    auto& nested = static_cast<RIFF::List&>(file[0]);
    EXPECT_EQ(nested.count(), 1);
}

TEST(RiffList, WrappingLengthEndsTheWalk) {
    for (std::uint32_t claimed : {0xFFFFFFF8u, 0xFFFFFFFFu, 0xFFFFFFF0u}) {
        std::string bytes = riff("TEST", chunk("wrap", "abcd") + chunk("more", ""));
        bytes.replace(16, 4, le32(claimed));
        std::istringstream data(bytes);
        RIFF::File file(data);
        EXPECT_EQ(file.count(), 1) << claimed;
    }
}

TEST(RiffList, HugeListInASmallStreamLoadsOnlyWhatIsThere) {
    // A nested list that claims 4 GiB: its walk stops at the stream's end
    // instead of creating hundreds of millions of empty children.
    std::string bytes = riff("TEST", list("BIG ", chunk("one ", "1")));
    bytes.replace(16, 4, le32(0xFFFFFF00u));
    std::istringstream data(bytes);
    RIFF::File file(data);
    ASSERT_EQ(file.count(), 1);
    EXPECT_EQ(static_cast<RIFF::List&>(file[0]).count(), 1);
}

TEST(RiffList, DeepNestingIsBounded) {
    std::string ok = chunk("leaf", "");
    for (unsigned i = 0; i < RIFF::List::maxDepth; ++i) ok = list("DEEP", ok);
    std::istringstream fine(riff("TEST", ok));
    EXPECT_NO_THROW(RIFF::File file(fine));

    // Far more levels than the bound, in a stream of a few megabytes; each holds
    // a leaf before the next level, which the refusal must release too.
    std::string deep;
    const unsigned levels = 300000;
    for (unsigned i = 0; i < levels; ++i) deep += "LIST" + le32(8 + 20u * (levels - 1 - i)) + "DEEP" + chunk("leaf", "");
    std::istringstream data(riff("TEST", deep));
    EXPECT_THROWS_PTR(std::invalid_argument, RIFF::File file(data), "Lists nested too deeply!");
    // A list made at an offset the file's walk did not take (inside a chunk's
    // data) is refused the same way, and releases what it had loaded.
    std::istringstream hidden(riff("TEST", chunk("data", deep)));
    RIFF::File file(hidden);
    EXPECT_THROWS_PTR(std::invalid_argument, RIFF::List list(file, 20), "Lists nested too deeply!");
}

TEST(RiffList, OverlappingListsAreRefused) {
    // Every list's last child reaches past its list, so each region is walked
    // again by every level above it; unchecked, the tree would grow exponentially.
    std::string tail = chunk("leaf", "");
    std::string bytes = tail;
    for (int i = 0; i < 40; ++i) {
        // A list of 8 bytes' worth whose only child is a list reaching to the end.
        bytes = "LIST" + le32(12) + "OVER" + "LIST" + le32(static_cast<std::uint32_t>(bytes.size())) + "OVRL" + bytes;
    }
    std::istringstream data(riff("TEST", bytes));
    EXPECT_THROWS_PTR(std::invalid_argument, RIFF::File file(data), "Overlapping chunks!");
}

// The published convention: lengths count the list type, odd chunks are padded.
// Malformed files load as the walk finds them, as in Tav's convention.
TEST(RiffList, PublishedConvention) {
    const std::string info = publishedList("INFO", publishedChunk("INAM", "tune") + publishedChunk("ICMT", "odd"));
    const struct {
        const char* what;
        std::string bytes;
        const char* shape;
    } cases[] = {
        {"odd chunks and their pad bytes",
         publishedRiff("WAVE", publishedChunk("fmt ", std::string(16, 'f')) + publishedChunk("data", "abc") + info),
         "fmt @12 data@36 LIST@48(INFO: INAM@60 ICMT@72)"},
        {"nested lists", publishedRiff("AVI ", publishedList("hdrl", publishedChunk("avih", "x") + info) +
                                                   publishedChunk("idx1", "")),
         "LIST@12(hdrl: avih@24 LIST@34(INFO: INAM@46 ICMT@58)) idx1@70"},
        {"an empty list and a list too short for its type",
         publishedRiff("TEST", publishedList("EMPT", "") + "LIST" + le32(2) + "ab" + publishedChunk("last", "")),
         "LIST@12(EMPT: ) LIST@24(abla: ) last@34"},
        {"the final pad byte missing", publishedRiff("WAVE", publishedChunk("data", "ab") + chunk("tail", "xyz")),
         "data@12 tail@22"},
        {"a pad byte where a chunk should start (no pad written)",
         publishedRiff("TEST", chunk("odd ", "abc") + chunk("next", "") + chunk("more", "")),
         "odd @12 ext\\0@24"},  // one byte late: the next header is misread, and reaches past the end
        {"a LIST length that does not count its type",
         publishedRiff("TEST", list("INNR", chunk("a   ", "12") + chunk("b   ", "34")) + chunk("next", "")),
         "LIST@12(INNR: a   @24 b   @34) \\0\\034@40"},  // b is kept though it reaches past its list
    };
    for (const auto& c : cases) {
        std::istringstream data(c.bytes);
        RIFF::File file(data, RIFF::Convention::Published);
        std::string got = shape(file);
        for (std::size_t at; (at = got.find('\0')) != std::string::npos;) got.replace(at, 1, "\\0");
        EXPECT_EQ(got, c.shape) << c.what;
        EXPECT_EQ(file.length(), c.bytes.size() - 8) << c.what;
    }
    // A published list's length is its field's value, counting its type.
    std::istringstream data(publishedRiff("TEST", info));
    RIFF::File file(data, RIFF::Convention::Published);
    EXPECT_EQ(file[0].length(), info.size() - 8);

    // Tav's convention refuses any other RIFF length, the published one only a
    // length too short for the form type.
    const char* const badLength = "Tav::Format::RIFF::File::constructor: Malformed RIFF length!";
    std::istringstream publishedData(publishedRiff("TEST", publishedChunk("data", "abc")));
    EXPECT_THROWS_PTR(std::invalid_argument, RIFF::File(publishedData, RIFF::Convention::Tav), badLength);
    std::istringstream tooShort("RIFF" + le32(3) + "TEST");
    EXPECT_THROWS_PTR(std::invalid_argument, RIFF::File(tooShort, RIFF::Convention::Published), badLength);
}

// Files as the world writes them, in the published convention: the form is read
// as far as its RIFF length and the stream both reach.
TEST(RiffList, PublishedDamage) {
    const std::string wave = publishedRiff("WAVE", publishedChunk("fmt ", std::string(16, 'f')) + publishedChunk("data", "abcd"));
    std::string placeholder = wave;  // a streaming writer's lengths, never filled in
    placeholder.replace(4, 4, le32(0xFFFFFFFFu));
    placeholder.replace(40, 4, le32(0xFFFFFFFFu));
    std::string cut = wave.substr(0, wave.size() - 2);  // a download cut mid-data
    const std::string sf3 = "RIFF" + le32(4 + 23 + 24) + "sfbk" + "LIST" + le32(15) + "sdta" + chunk("smpl", "abc") +
                            publishedList("pdta", publishedChunk("phdr", "1234"));
    std::string finalPad = publishedRiff("WAVE", publishedChunk("data", "abc"));  // the pad counted, never written
    finalPad.pop_back();
    const struct {
        const char* what;
        std::string bytes;
        const char* shape;
        std::uint32_t lastLength;  // the last top-level chunk's declared length
        bool readable;             // whether its data lies in the stream
    } cases[] = {
        {"zeros after the form", wave + std::string(3914, '\0'), "fmt @12 data@36", 4, true},
        {"an ID3v1 tag after the form", wave + "TAG" + std::string(125, 'x'), "fmt @12 data@36", 4, true},
        {"a second form after the first", wave + publishedRiff("AVIX", publishedChunk("idx1", "")), "fmt @12 data@36", 4, true},
        {"placeholder lengths", placeholder, "fmt @12 data@36", 0xFFFFFFFFu, false},
        {"cut short", cut, "fmt @12 data@36", 4, false},
        {"the final pad counted, never written", finalPad, "data@12", 3, true},
        {"an odd list without its pad (SoundFont 3)", sf3, "LIST@12(sdta: smpl@24) LIST@35(pdta: phdr@47)", 16, true},
    };
    for (const auto& c : cases) {
        std::istringstream data(c.bytes);
        RIFF::File file(data, RIFF::Convention::Published);
        EXPECT_EQ(shape(file), c.shape) << c.what;
        RIFF::Chunk& last = file[static_cast<std::uint32_t>(file.count() - 1)];
        EXPECT_EQ(last.length(), c.lastLength) << c.what;
        if (c.readable) {
            EXPECT_NO_THROW(last.open()) << c.what;
        } else {
            EXPECT_THROWS_PTR(std::invalid_argument, last.open(), "Chunk data past end of stream!") << c.what;
        }
    }
}

// The walk's own bounds hold in the published convention too.
TEST(RiffList, PublishedHostileInputs) {
    std::string deep;
    const unsigned levels = 300000;
    for (unsigned i = 0; i < levels; ++i) deep += "LIST" + le32(12u * (levels - i) - 8) + "DEEP";
    std::istringstream nested(publishedRiff("TEST", deep));
    EXPECT_THROWS_PTR(std::invalid_argument, RIFF::File(nested, RIFF::Convention::Published),
                      "Lists nested too deeply!");

    for (std::uint32_t claimed : {0xFFFFFFF7u, 0xFFFFFFF8u, 0xFFFFFFFFu}) {
        std::string bytes = publishedRiff("TEST", publishedChunk("wrap", "abcd") + publishedChunk("more", ""));
        bytes.replace(16, 4, le32(claimed));
        std::istringstream data(bytes);
        RIFF::File file(data, RIFF::Convention::Published);
        EXPECT_EQ(file.count(), 1) << claimed;
    }

    std::string over = publishedChunk("leaf", "");
    for (int i = 0; i < 40; ++i)
        over = "LIST" + le32(16) + "OVER" + "LIST" + le32(static_cast<std::uint32_t>(over.size() + 4)) + "OVRL" + over;
    std::istringstream overlapping(publishedRiff("TEST", over));
    EXPECT_THROWS_PTR(std::invalid_argument, RIFF::File(overlapping, RIFF::Convention::Published),
                      "Overlapping chunks!");
}

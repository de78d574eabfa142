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
using tavtool::riff;

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

    // Far more levels than the bound, in a stream of a few megabytes.
    std::string deep;
    const unsigned levels = 300000;
    for (unsigned i = 0; i < levels; ++i) deep += "LIST" + le32(12u * (levels - 1 - i)) + "DEEP";
    std::istringstream data(riff("TEST", deep));
    EXPECT_THROWS_PTR(std::invalid_argument, RIFF::File file(data), "Lists nested too deeply!");
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

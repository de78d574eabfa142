// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <cstring>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include <tav/tav.hpp>

#include "riff_writer.hpp"

using namespace Tav::Format;

TEST(Object, TagsAndSizeFiguresOfEachClass) {
    Tav::Object object;
    EXPECT_STREQ(object.tag, "TavObject");
    EXPECT_EQ(object.size, 16u);

    std::istringstream data(tavtool::riff("TEST", tavtool::list("ABCD", "") + tavtool::chunk("DATA", "x")));
    RIFF::File file(data);
    EXPECT_STREQ(file.tag, "TFrmtRIFFFi");
    EXPECT_EQ(file.size, 28u);
    EXPECT_STREQ(file[0].tag, "TFrmtRIFFLi");
    EXPECT_EQ(file[0].size, 28u);
    EXPECT_STREQ(file[1].tag, "TFrmtRIFFCh");
    EXPECT_EQ(file[1].size, 28u);
    EXPECT_STREQ(RIFF::Chunk().tag, "TFrmtRIFFCh");
    EXPECT_STREQ(RIFF::List().tag, "TFrmtRIFFLi");
    EXPECT_STREQ(RIFF::File().tag, "TFrmtRIFFFi");
}

TEST(Object, KindTestsMatchOneConcreteClassOnly) {
    std::istringstream data(tavtool::riff("TEST", tavtool::list("ABCD", "") + tavtool::chunk("DATA", "x")));
    RIFF::File file(data);
    EXPECT_TRUE(RIFF::File::is(file));
    EXPECT_FALSE(RIFF::List::is(file));  // a File is a List by derivation only
    EXPECT_TRUE(RIFF::List::is(file[0]));
    EXPECT_FALSE(RIFF::File::is(file[0]));
    EXPECT_FALSE(RIFF::List::is(file[1]));
    EXPECT_FALSE(RIFF::File::is(file[1]));
    EXPECT_FALSE(RIFF::File::is(Tav::Object()));

    // The whole tag is compared, not a prefix.
    Tav::Object lookalike;
    std::strcpy(lookalike.tag, "TFrmtRIFFF");
    EXPECT_FALSE(RIFF::File::is(lookalike));
}

TEST(Object, CopiesCarryTheTagOfTheirOwnClass) {
    std::istringstream data(tavtool::riff("TEST", tavtool::list("ABCD", "")));
    RIFF::File file(data);
    RIFF::Chunk copy(file[0]);
    EXPECT_STREQ(copy.tag, "TFrmtRIFFCh");
    Tav::Object base(file);
    EXPECT_STREQ(base.tag, "TavObject");
    EXPECT_EQ(base.size, 16u);
}

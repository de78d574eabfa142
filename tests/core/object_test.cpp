// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <cstring>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include <tav/tav.hpp>

#include "riff_writer.hpp"

using namespace Tav::Format;

// Every constructor stamps its class's tag and size figure.
TEST(Object, TagsAndSizeFiguresOfEachClass) {
    std::istringstream data(tavtool::riff("TEST", tavtool::list("ABCD", "") + tavtool::chunk("DATA", "x")));
    RIFF::File file(data);
    std::istringstream ostraneData(tavtool::riff("OSTR", tavtool::chunk("DATA", std::string("a\0", 2))));
    Ostrane::File ostrane(ostraneData);
    const Tav::Object object;
    const RIFF::Chunk chunk, chunkAt(file, 24), chunkCopy(file[1]);
    const RIFF::List list, listAt(file, 12);
    const RIFF::File unparented;
    const Ostrane::File ostraneUnparented;
    const Ostrane::Node node, nodeOfChunk(file[1]), nodeAt(file, 24), nodeCopy(nodeAt);
    Ostrane::Node& found = ostrane["/DATA.a"];
    const Tav::Threading::Timer timer;
    const struct {
        const char* what;
        const Tav::Object& object;
        const char* tag;
        std::uint32_t size;
    } objects[] = {
        {"Object", object, "TavObject", 16},
        {"a loaded File", file, "TFrmtRIFFFi", 28},
        {"File()", unparented, "TFrmtRIFFFi", 28},
        {"a loaded List", file[0], "TFrmtRIFFLi", 28},
        {"List()", list, "TFrmtRIFFLi", 28},
        {"List(owner, offset)", listAt, "TFrmtRIFFLi", 28},
        {"a loaded Chunk", file[1], "TFrmtRIFFCh", 28},
        {"Chunk()", chunk, "TFrmtRIFFCh", 28},
        {"Chunk(owner, offset)", chunkAt, "TFrmtRIFFCh", 28},
        {"a Chunk copied", chunkCopy, "TFrmtRIFFCh", 28},
        {"Ostrane::File(stream)", ostrane, "TFrmtOstrFi", 96},
        {"Ostrane::File()", ostraneUnparented, "TFrmtOstrFi", 96},
        {"Node()", node, "TFrmtOstrNd", 28},
        {"Node(chunk)", nodeOfChunk, "TFrmtOstrNd", 28},
        {"Node(owner, offset)", nodeAt, "TFrmtOstrNd", 28},
        {"a Node copied", nodeCopy, "TFrmtOstrNd", 28},
        {"a Node found by path", found, "TFrmtOstrNd", 28},
        {"Timer", timer, "TThrdTimer", 32},
    };
    for (const auto& o : objects) {
        EXPECT_STREQ(o.object.tag, o.tag) << o.what;
        EXPECT_EQ(o.object.size, o.size) << o.what;
    }
    delete &found;
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

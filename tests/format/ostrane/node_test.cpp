// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <cstring>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include <tav/format/ostrane/file.hpp>

#include "errors.hpp"
#include "riff_writer.hpp"

using namespace Tav::Format;
using namespace tavtool;

namespace {
// The 52-byte example file, byte for byte.
const std::string example = std::string("RIFF") + le32(40) + "OSTR" + "LIST" + le32(28) + "BODY" + "OSTR" +
                            le32(4) + std::string("ORL\0", 4) + "STRN" + le32(8) + std::string("code\0en\0", 8);
}  // namespace

TEST(OstraneNode, TheExampleFile) {
    ASSERT_EQ(example.size(), 52u);
    std::istringstream data(example);
    RIFF::File file(data);
    Ostrane::Node data36(file, 36);
    EXPECT_EQ(data36.name(), "code");
    const char* payload = data36.open();
    EXPECT_EQ(std::string(payload, 3), std::string("en\0", 3));
    data36.close();
    RIFF::Chunk& asChunk = data36;  // the chunk's own open: the data with the name
    EXPECT_EQ(std::string(asChunk.open(), 8), std::string("code\0en\0", 8));
    asChunk.close();
    Ostrane::Node list12(file, 12);
    EXPECT_EQ(list12.name(), "ORL");
    EXPECT_STREQ(list12.tag, "TFrmtOstrNd");
}

TEST(OstraneNode, NamesAndPayloads) {
    std::istringstream data(riff("TEST", node("DATA", "code", "1234") + chunk("NONM", std::string("\0xy", 3)) +
                                             node("EMPT", "only", "") + chunk("NOZR", "abc")));
    RIFF::File file(data);
    Ostrane::Node named(file[0]);
    EXPECT_EQ(named.name(), "code");
    const char* payload = named.open();
    EXPECT_EQ(std::string(payload, 4), "1234");
    EXPECT_EQ(named.length() - named.name().size() - 1, 4u);
    EXPECT_EQ(named.name(), "code");  // read from the open buffer; the node stays open
    EXPECT_THROWS_PTR(std::invalid_argument, named.open(), "Chunk already open!");
    named.close();

    Ostrane::Node unnamed(file[1]);
    EXPECT_EQ(unnamed.name(), "");
    EXPECT_EQ(std::string(unnamed.open(), 2), "xy");
    unnamed.close();

    Ostrane::Node empty(file[2]);
    EXPECT_NE(empty.open(), nullptr);
    EXPECT_EQ(empty.length() - empty.name().size() - 1, 0u);
    empty.close();

    // No zero byte: all name, no payload, nothing read past the data.
    Ostrane::Node noZero(file[3]);
    EXPECT_EQ(noZero.name(), "abc");
    const char* past = noZero.open();
    EXPECT_EQ(std::string(past - 3, 3), "abc");
    noZero.close();
}

TEST(OstraneNode, ListNames) {
    std::istringstream data(riff("TEST", namedList("BODY", "ORL", node("STRN", "code", "")) +
                                             list("ANON", node("STRN", "x", "") + chunk("OSTR", std::string("late\0", 5))) +
                                             list("EMPT", "") + list("NAME", chunk("NAME", std::string("no\0", 3)))));
    RIFF::File file(data);
    EXPECT_EQ(Ostrane::Node(file[0]).name(), "ORL");
    EXPECT_EQ(Ostrane::Node(file[1]).name(), "");  // only the first child names a list
    EXPECT_EQ(Ostrane::Node(file[2]).name(), "");  // no children
    EXPECT_EQ(Ostrane::Node(file[3]).name(), "");  // the name child's id is "OSTR", not "NAME"
    Ostrane::Node listNode(file[0]);
    Ostrane::Node dataNode(static_cast<RIFF::List&>(file[0])[1]);
    EXPECT_STREQ(listNode.tag, "TFrmtOstrNd");
    EXPECT_STREQ(dataNode.tag, "TFrmtOstrNd");
    EXPECT_EQ(dataNode.name(), "code");
    RIFF::Chunk copy(listNode);
    EXPECT_STREQ(copy.tag, "TFrmtRIFFCh");
}

TEST(OstraneNode, HiddenOpenThroughAChunkReference) {
    std::istringstream data(riff("TEST", node("DATA", "nm", "pay")));
    RIFF::File file(data);
    Ostrane::Node n(file[0]);
    RIFF::Chunk& asChunk = n;
    EXPECT_EQ(std::string(asChunk.open(), 6), std::string("nm\0pay", 6));  // the chunk's open: name included
    asChunk.close();
    EXPECT_EQ(std::string(n.open(), 3), "pay");
    n.close();
}

TEST(OstraneNode, UnparentedNodes) {
    std::istringstream data(example);
    Ostrane::File container(data);
    Ostrane::Node fromContainer(container, 36);  // a container file is not exactly a RIFF File
    Ostrane::Node lonely;
    for (Ostrane::Node* n : {&fromContainer, &lonely}) {
        EXPECT_THROWS_PTR(std::invalid_argument, n->name(), "Unparented chunk!");
        EXPECT_THROWS_PTR(std::invalid_argument, n->open(), "Unparented chunk!");
    }
}

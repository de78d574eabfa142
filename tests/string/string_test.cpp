// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <tav/string/string.hpp>

using Tav::String::Explode;
using Tav::String::Format;
using Pieces = std::vector<std::string>;

TEST(Explode, GetlineSemantics) {
    EXPECT_EQ(Explode("", '/', 0), Pieces{});
    EXPECT_EQ(Explode("/", '/', 0), Pieces{""});
    EXPECT_EQ(Explode("/a/", '/', 0), (Pieces{"", "a"}));
    EXPECT_EQ(Explode("a//b", '/', 0), (Pieces{"a", "", "b"}));
    EXPECT_EQ(Explode("a,b,", ',', 0), (Pieces{"a", "b"}));
    EXPECT_EQ(Explode("whole text", ',', 0), Pieces{"whole text"});
    EXPECT_EQ(Explode(std::string("a\0b/c", 5), '/', 0), (Pieces{std::string("a\0b", 3), "c"}));
}

TEST(Explode, LimitCountsPiecesAndDropsTheRest) {
    EXPECT_EQ(Explode("a,b,c", ',', 2), (Pieces{"a", "b"}));
    EXPECT_EQ(Explode("a,b,c", ',', 1), Pieces{"a"});
    EXPECT_EQ(Explode("a,b,c", ',', 0), (Pieces{"a", "b", "c"}));
    EXPECT_EQ(Explode("a,b,c", ',', 0xFFFFFFFFu), (Pieces{"a", "b", "c"}));
    const std::string text = "keep";
    Explode(text, 'e', 1);
    EXPECT_EQ(text, "keep");
}

TEST(Format, FormatsIntoANewString) {
    std::unique_ptr<std::string> plain(Format("no conversions"));
    EXPECT_EQ(*plain, "no conversions");
    std::unique_ptr<std::string> percent(Format("100%%"));
    EXPECT_EQ(*percent, "100%");
    std::unique_ptr<std::string> mixed(Format("%s=%d %.2f", "x", 42, 1.5));
    EXPECT_EQ(*mixed, "x=42 1.50");
    std::unique_ptr<std::string> zero(Format("a%cb", 0));
    EXPECT_EQ(*zero, "a");
    std::unique_ptr<std::string> again(Format("no conversions"));
    EXPECT_NE(plain.get(), again.get());

    const std::string held = "%d-%d";
    std::unique_ptr<std::string> fromString(Format(held, 1, 2));
    EXPECT_EQ(*fromString, "1-2");
}

TEST(Format, CutsAt1023Characters) {
    std::unique_ptr<std::string> exact(Format("%s", std::string(1023, 'x').c_str()));
    EXPECT_EQ(exact->size(), 1023u);
    std::unique_ptr<std::string> longer(Format("%s%s", std::string(1023, 'y').c_str(), "zz"));
    EXPECT_EQ(*longer, std::string(1023, 'y'));
}

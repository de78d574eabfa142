// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <memory>
#include <random>
#include <regex>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include <tav/format/ostrane/file.hpp>

#include "errors.hpp"
#include "format/ostrane/path.hpp"
#include "riff_writer.hpp"

using namespace Tav::Format;
using namespace tavtool;

namespace {

const char* const invalidPath = "Invalid path in Format::Ostrane::File::operator[]";
const char* const invalidIndex = "Invalid node index in Format::Ostrane::File::operator[]";
const char* const notAList = "Cannot use node as list in Format::Ostrane::File::operator[]";

// Root: a name-less data chunk, BODY list named ORL, two STRN data nodes, a list
// of type STRN, a data chunk with id LIST-free type "AB 1".
std::string sample() {
    std::string strns;
    for (int i = 0; i < 9; ++i) strns += node("STRN", "s" + std::to_string(i), std::to_string(i));
    return riff("OSTR", node("HEAD", "head", "") +
                            namedList("BODY", "ORL", node("STRN", "code", "en") + node("TUDW", "offsets", "")) +
                            node("STRN", "first", "1") + node("STRN", "second", "2") +
                            namedList("STRN", "group", strns) + node("AB 1", "spaced", ""));
}

class OstraneFile : public ::testing::Test {
protected:
    std::istringstream data{sample()};
    Ostrane::File file{data};

    // Looks a path up and returns the selected node's name; the node is deleted.
    std::string nameAt(const std::string& path) {
        std::unique_ptr<Ostrane::Node> node(&file[path]);
        return node->name();
    }
    std::string failure(const std::string& path) {
        try {
            delete &file[path];
        } catch (std::range_error* e) {
            std::unique_ptr<std::range_error> owned(e);
            return std::string("range: ") + e->what();
        } catch (std::invalid_argument* e) {
            std::unique_ptr<std::invalid_argument> owned(e);
            return std::string("invalid: ") + e->what();
        }
        return "<nothing thrown>";
    }
};

}  // namespace

TEST_F(OstraneFile, TypeAndIndexSteps) {
    EXPECT_STREQ(file.tag, "TFrmtOstrFi");
    EXPECT_EQ(nameAt("/BODY.ORL/STRN.code"), "code");
    EXPECT_EQ(nameAt("OSTR/BODY.ORL/STRN.code"), "code");
    EXPECT_EQ(nameAt("./BODY.ORL/STRN.code"), "code");
    EXPECT_EQ(nameAt("/STRN"), "first");  // data chunks of that id and lists of that list type
    EXPECT_EQ(nameAt("/STRN#0"), "first");
    EXPECT_EQ(nameAt("/STRN#1"), "second");
    EXPECT_EQ(nameAt("/STRN#2"), "group");
    EXPECT_EQ(nameAt("/STRN#2/STRN#007"), "s7");  // leading zeros; the name child has another id
    EXPECT_EQ(nameAt("/#0"), "head");
    EXPECT_EQ(nameAt("//"), "head");
    EXPECT_EQ(nameAt("/BODY/"), "ORL");  // the trailing "/" adds no step
    EXPECT_EQ(nameAt("/BODY//"), "ORL");  // the name child itself, a data node named ORL
    EXPECT_EQ(nameAt("/LIST"), "ORL");
    EXPECT_EQ(nameAt("/LIST#1"), "group");
    EXPECT_EQ(nameAt("/AB 1"), "spaced");
    EXPECT_EQ(nameAt("/STRN.code#1"), "second");
    EXPECT_EQ(nameAt("/BODY.wrongname/STRN.ignored"), "code");  // names do not narrow the choice
}

TEST_F(OstraneFile, Failures) {
    for (const char* bad : {"BODY/STRN", "/BOD", "/BODYX", "/BODY.9x", "/BODY#", "/BODY#x", "/1ABC", "OSTRBODY",
                            "/STRN#1.code", "ostr/STRN", "", "/", "OSTR", ".", "OSTR/", "./", "/BODY\n",
                            "/B\xC3\xA9OD", "/BO\0Y"})
        EXPECT_EQ(failure(bad), std::string("invalid: ") + invalidPath) << bad;
    EXPECT_EQ(failure(std::string("/BO\0Y", 5)), std::string("invalid: ") + invalidPath);
    EXPECT_EQ(failure("/strn"), std::string("range: ") + invalidIndex);  // byte-exact types
    EXPECT_EQ(failure("/ABCD"), std::string("range: ") + invalidIndex);
    EXPECT_EQ(failure("/STRN#5"), std::string("range: ") + invalidIndex);
    EXPECT_EQ(failure("/STRN#9/CODE"), std::string("range: ") + invalidIndex);  // index before list test
    EXPECT_EQ(failure("/STRN/CODE"), std::string("invalid: ") + notAList);
    EXPECT_THROW(delete &file["/STRN#99999999999"], std::out_of_range);
    EXPECT_THROW(delete &file["/STRN#2147483648"], std::out_of_range);
    EXPECT_EQ(failure("/STRN#2147483647"), std::string("range: ") + invalidIndex);
    EXPECT_EQ(thrownMessage<std::invalid_argument>([&] { file[static_cast<const char*>(nullptr)]; }), invalidPath);
    // The file is usable again at once.
    EXPECT_EQ(nameAt("/STRN#1"), "second");

    Ostrane::File empty;
    EXPECT_EQ(thrownMessage<std::range_error>([&] { empty["/STRN"]; }), invalidIndex);
}

TEST_F(OstraneFile, EachLookupReturnsANewNode) {
    Ostrane::Node& a = file["/BODY/STRN"];
    Ostrane::Node& b = file["/BODY/STRN"];
    EXPECT_NE(&a, &b);
    EXPECT_EQ(a.offset(), b.offset());
    EXPECT_EQ(std::string(a.open(), 2), "en");
    delete &a;
    delete &b;
    const std::string path = "/BODY/TUDW";
    std::unique_ptr<Ostrane::Node> c(&file[path]);
    EXPECT_EQ(c->name(), "offsets");
}

// Identifiers are read in blocks: lookups must find children on both sides of a
// block's end, lists among them, and the last child of a list that ends early.
TEST(OstraneWideList, LookupsAcrossBlocks) {
    std::string children;
    for (int i = 0; i < 20000; ++i)
        children += i % 1000 == 999 ? namedList("GRUP", "g" + std::to_string(i), "") : node("DATA", "d" + std::to_string(i), "");
    children += node("LAST", "last", "");
    std::istringstream in(riff("OSTR", children));
    Ostrane::File file(in);
    const auto name = [&](const std::string& path) {
        std::unique_ptr<Ostrane::Node> n(&file[path]);
        return n->name();
    };
    EXPECT_EQ(name("/LAST"), "last");
    EXPECT_EQ(name("/DATA#19979"), "d19998");  // the last data child: i = 19999 is a list
    EXPECT_EQ(name("/GRUP#7"), "g7999");
    EXPECT_EQ(name("/DATA#5000"), "d5005");  // back to an earlier block
    EXPECT_EQ(thrownMessage<std::range_error>([&] { file["/GRUP#20"]; }), invalidIndex);
}

TEST(OstranePath, LongPathsNeitherCrashNorTakeLong) {
    std::string path;
    for (int i = 0; i < 200000; ++i) path += "/ABCD";  // 1 MB
    EXPECT_EQ(Ostrane::detail::parsePath(path).size(), 200000u);
    path += "x";
    EXPECT_EQ(thrownMessage<std::invalid_argument>([&] { Ostrane::detail::parsePath(path); }), invalidPath);
    std::istringstream data(sample());
    Ostrane::File file(data);
    EXPECT_EQ(thrownMessage<std::invalid_argument>([&] { file[std::string(1 << 20, '/')]; }), notAList);
    std::string deep;
    for (int i = 0; i < 200000; ++i) deep += "/BODY";
    EXPECT_EQ(thrownMessage<std::range_error>([&] { file[deep]; }), invalidIndex);
}

TEST(OstranePath, AcceptsExactlyTheGrammar) {
    // Cross-check against the grammar as regular expressions, on paths short
    // enough for std::regex to handle safely.
    const std::regex grammar(R"(^(OSTR|\.)?(\/([a-zA-Z][a-zA-Z0-9 ]{3})?(\.[a-zA-Z]\w*)?(\#\d+)?)*$)",
                             std::regex::ECMAScript);
    const std::regex segment(R"(^([a-zA-Z][a-zA-Z0-9 ]{3})?((\.[a-zA-Z]\w*)?)((\#\d+)?)$)", std::regex::ECMAScript);
    // Whole parts as well as single characters, so that many paths are valid.
    const std::vector<std::string> alphabet = {"/", "/", "/", ".", "#", "O", "a", "Z", "0", "9", "_", " ", "\x80",
                                               "-", "ABCD", "A1 z", "1ABC", ".nm", ".x_9", "#7", "#00"};
    std::mt19937 random(2024);
    int accepted = 0;
    for (int n = 0; n < 200000; ++n) {
        std::string path;
        const std::size_t length = random() % 8;
        if (random() % 3 == 0) path = (random() % 2) ? "OSTR" : ".";
        for (std::size_t i = 0; i < length; ++i) path += alphabet[random() % alphabet.size()];
        const bool want = std::regex_match(path, grammar);
        bool got = true;
        std::vector<Ostrane::detail::Step> steps;
        try {
            steps = Ostrane::detail::parsePath(path);
        } catch (std::invalid_argument* e) {
            delete e;
            got = false;
        }
        // Paths that match but select nothing are refused on purpose.
        const bool selectsNothing = path.empty() || path == "/" || path == "OSTR" || path == "." ||
                                    path == "OSTR/" || path == "./";
        ASSERT_EQ(got, want && !selectsNothing) << '"' << path << '"';
        if (!got) continue;
        ++accepted;
        // Each step agrees with the segment expression's groups.
        std::vector<std::string> pieces;
        std::size_t at = path.find('/');
        while (at != std::string::npos && at + 1 <= path.size()) {
            const std::size_t next = path.find('/', at + 1);
            pieces.push_back(path.substr(at + 1, next == std::string::npos ? std::string::npos : next - at - 1));
            at = next;
        }
        if (path.back() == '/') pieces.pop_back();
        ASSERT_EQ(pieces.size(), steps.size()) << path;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            std::smatch m;
            ASSERT_TRUE(std::regex_match(pieces[i], m, segment));
            EXPECT_EQ(std::string(m[1]), steps[i].type.value ? std::string(steps[i].type.chars, 4) : "") << path;
            EXPECT_EQ(m[2].length() ? std::string(m[2]).substr(1) : "", std::string(steps[i].name)) << path;
            EXPECT_EQ(m[4].length() ? static_cast<std::uint32_t>(std::stoi(std::string(m[4]).substr(1))) : 0u,
                      steps[i].index)
                << path;
            EXPECT_EQ(steps[i].list, i + 1 < steps.size());
        }
    }
    EXPECT_GT(accepted, 1000);
}

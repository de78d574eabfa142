// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include <tav/international/locale.hpp>
#include <tav/security/crc32.hpp>

#include "errors.hpp"
#include "locale_writer.hpp"

using Tav::International::Locale;
using namespace tavtool;

namespace {

// A locale file laid out by hand, so that tests can break it in chosen ways.
std::string localeBytes(const std::string& code, const std::string& hashes, const std::string& texts) {
    return riff("OSTR", namedList("BODY", "ORL",
                                  node("STRN", "code", code) + node("TUDW", "offsets", hashes) +
                                      namedList("ATXT", "strings", texts)));
}

std::string hashOf(const char* key) { return le32(Tav::Security::Hash::Crc32(key)); }
std::string text(const std::string& t) { return chunk("TEXT", t + '\0'); }

std::string captured(const std::function<void()>& print) {
    std::ostringstream out;
    std::streambuf* old = std::cout.rdbuf(out.rdbuf());
    print();
    std::cout.rdbuf(old);
    return out.str();
}

const char* const tooFew = "Tav::International::Locale::constructor: Fewer texts than key hashes!";

}  // namespace

TEST(Locale, LooksTextsUpByKey) {
    std::istringstream data(localeFile("de", {{"hello", "Hallo"}, {"bye", "Tschüss"}, {"ctx\x04key", "mit Kontext"}}));
    Locale locale(data);
    EXPECT_STREQ(locale.tag, "TIntlLocale");
    EXPECT_EQ(locale.code(), "de");
    EXPECT_EQ(locale[std::string("hello")], "Hallo");
    EXPECT_STREQ(locale["bye"], "Tschüss");
    EXPECT_STREQ(locale["ctx\x04key"], "mit Kontext");
    EXPECT_EQ(locale[Tav::International::ContextKey("ctx", "key")], "mit Kontext");
    EXPECT_EQ(Tav::International::ContextKey("menu", "Edit"), std::string("menu\x04" "Edit"));  // not "menu\x04E" "dit"
    EXPECT_EQ(locale[std::string("")], "de");  // the empty key's hash is 0
    EXPECT_EQ(locale[std::string("hello\0junk", 10)], "Hallo");  // the key ends at its zero byte

    // Absent keys give one empty text, the same entry each time, and add nothing.
    const std::string& absent = locale[std::string("absent")];
    EXPECT_EQ(absent, "");
    EXPECT_EQ(&locale[std::string("absent")], &absent);
    EXPECT_STREQ(locale["other"], "");
    EXPECT_STREQ(locale[static_cast<const char*>(nullptr)], "");

    // The table's own strings: the same address on every lookup.
    EXPECT_EQ(&locale[std::string("hello")], &locale[std::string("hello")]);
    EXPECT_EQ(locale["hello"], locale[std::string("hello")].c_str());
}

TEST(Locale, PrintsChainedWithNothingBetween) {
    std::istringstream data(localeFile("en", {{"a", "first"}, {"b", "second"}}));
    Locale locale(data);
    EXPECT_EQ(captured([&] { locale << "a" << std::string("b") << "absent" << "a"; }), "firstsecondfirst");
}

TEST(Locale, FilingOrderAndOddSizes) {
    // A repeated hash keeps the later text; a stored hash 0 replaces the code.
    std::istringstream data(localeBytes(std::string("abc\0", 4), hashOf("k") + hashOf("k") + le32(0),
                                        text("early") + text("late") + text("new code")));
    Locale locale(data);
    EXPECT_STREQ(locale["k"], "late");
    EXPECT_EQ(locale.code(), "new code");

    // 10 payload bytes: two hashes, two bytes ignored; extra children ignored.
    std::istringstream ten(localeBytes(std::string("xx\0", 3), hashOf("a") + hashOf("b") + "zz",
                                       text("A") + text("B") + text("unused")));
    Locale two(ten);
    EXPECT_STREQ(two["a"], "A");
    EXPECT_STREQ(two["b"], "B");

    // Fewer than 4 payload bytes: only the code.
    std::istringstream small(localeBytes(std::string("abc\0", 4), "xyz", ""));
    Locale codeOnly(small);
    EXPECT_EQ(codeOnly.code(), "abc");
    EXPECT_STREQ(codeOnly["a"], "");
}

TEST(Locale, BadFilesAreRefused) {
    const auto refused = [](const std::string& bytes) {
        std::istringstream data(bytes);
        return thrownMessage<std::invalid_argument>([&] { Locale locale(data); });
    };
    EXPECT_EQ(refused(localeBytes(std::string("en\0", 3), hashOf("a") + hashOf("b"), text("A"))), tooFew);
    EXPECT_EQ(refused(localeBytes("en", "", "")),
              "Tav::International::Locale::constructor: Text without terminating zero!");
    EXPECT_EQ(refused(localeBytes(std::string("en\0", 3), hashOf("a"), chunk("TEXT", "no zero"))),
              "Tav::International::Locale::constructor: Text without terminating zero!");
    EXPECT_EQ(refused(localeBytes(std::string("en\0", 3), hashOf("a"), chunk("TEXT", ""))),  // found by fuzzing
              "Tav::International::Locale::constructor: Text without terminating zero!");
    // An offsets node whose data is all name: too short for its name and zero byte.
    EXPECT_EQ(refused(riff("OSTR", namedList("BODY", "ORL",
                                             node("STRN", "code", std::string("en\0", 3)) +
                                                 chunk("TUDW", "offsets") + namedList("ATXT", "strings", "")))),
              "Tav::International::Locale::constructor: Data node too short for its name!");
    // A text whose length reaches past the stream.
    std::string longText = localeBytes(std::string("en\0", 3), hashOf("a"), text("A"));
    longText.replace(longText.size() - 6, 4, le32(0x7FFFFFFF));
    EXPECT_EQ(refused(longText), "Tav::International::Locale::constructor: Text past end of stream!");
    // A plural rule that does not parse, or has no text.
    for (const char* bad : {"nplurals=2; plural=n +;", "nplurals=0; plural=0;", "plural=n;"}) {
        const std::string file = localeFile("en", {{"a", "A"}}, bad);
        EXPECT_EQ(refused(file), "Tav::International::Locale::constructor: Malformed plural rule!") << bad;
    }
    std::string noZero = riff("OSTR", namedList("BODY", "ORL", node("STRN", "code", std::string("en\0", 3)) +
                                                                  node("TUDW", "offsets", "") + namedList("ATXT", "strings", "") +
                                                                  node("PLUR", "plural", "nplurals=1; plural=0;")));
    EXPECT_EQ(refused(noZero), "Tav::International::Locale::constructor: Text without terminating zero!");
    // Failures of the container pass through unchanged.
    EXPECT_EQ(refused("not a locale file"),
              "Tav::Format::RIFF::File::constructor: Invalid RIFF signature!");
    std::istringstream noBody(riff("OSTR", ""));
    EXPECT_THROWS_PTR(std::range_error, Locale locale(noBody),
                      "Invalid node index in Format::Ostrane::File::operator[]");
}

TEST(Locale, PathTypesAlsoSelectLists) {
    // Found by fuzzing: "/BODY.ORL/STRN.code" takes the first child of type STRN,
    // here a list named "ab"; its payload is measured from its data, not its name.
    const std::string body = namedList("STRN", "ab", "") + node("TUDW", "offsets", hashOf("k")) +
                             namedList("ATXT", "strings", text("K"));
    std::istringstream data(riff("OSTR", namedList("BODY", "ORL", body)));
    Locale locale(data);
    EXPECT_EQ(locale.code(), "");  // the list's data after its first zero byte starts with one
    EXPECT_STREQ(locale["k"], "K");
}

TEST(Locale, TruncatedAtEveryByte) {
    // Cut a good file at every byte and mend the RIFF length, so that the cut
    // reaches the inner lists and chunks: each either loads or is refused.
    const std::string whole = localeFile("de", {{"hello", "Hallo"}, {"bye", "Tschüss"}});
    int loaded = 0;
    for (std::size_t cut = 12; cut < whole.size(); ++cut) {
        std::string bytes = whole.substr(0, cut);
        bytes.replace(4, 4, le32(cut - 12));
        std::istringstream data(bytes);
        try {
            Locale locale(data);
            ++loaded;
        } catch (std::exception* e) {
            delete e;
        }
    }
    EXPECT_EQ(loaded, 0);  // every cut loses a text, a hash or the code
}

TEST(LocaleWriter, RefusesCollisionsAndKeepsTheLastOfOneKey) {
    const std::string first = "k1371838", second = "k2000402";  // found by a search over "k<n>"
    ASSERT_EQ(Tav::Security::Hash::Crc32(first.c_str()), Tav::Security::Hash::Crc32(second.c_str()));
    try {
        localeFile("en", {{first, "1"}, {second, "2"}});
        ADD_FAILURE() << "no collision reported";
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find('"' + first + '"'), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find('"' + second + '"'), std::string::npos) << e.what();
    }
    std::istringstream data(localeFile("en", {{"a", "old"}, {"a", "new"}}));
    Locale locale(data);
    EXPECT_STREQ(locale["a"], "new");
}

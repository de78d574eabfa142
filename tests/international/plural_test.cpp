// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// Plural forms and character sets checked against GNU gettext itself: catalogues
// in several charsets and plural rules are compiled both with msgfmt (in either byte order, read back
// with glibc's dngettext, its output set to UTF-8) and with the catalogue
// compiler (read back with Locale::plural), and must agree for every message.
#include <cerrno>
#include <cinttypes>
#include <clocale>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iconv.h>
#include <iterator>
#include <libintl.h>
#include <unistd.h>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <tav/international/locale.hpp>

#include "catalog.hpp"
#include "international/plural.hpp"
#include "locale_writer.hpp"

using Tav::International::Locale;
using Tav::International::detail::PluralRule;

namespace {

std::string convert(const std::string& text, const char* to) {
    iconv_t handle = iconv_open(to, "UTF-8");
    EXPECT_NE(handle, reinterpret_cast<iconv_t>(-1)) << to;
    std::string out(text.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size(), room = out.size();
    char* put = &out[0];
    EXPECT_NE(iconv(handle, &in, &inLeft, &put, &room), static_cast<std::size_t>(-1)) << to;
    iconv(handle, nullptr, nullptr, &put, &room);
    iconv_close(handle);
    out.resize(static_cast<std::size_t>(put - out.data()));
    return out;
}

struct Plural {
    const char* context;  // or null
    const char* id;
    const char* idPlural;
    std::vector<const char*> forms;  // UTF-8; converted to the catalogue's charset
};

struct Case {
    const char* domain;
    const char* charset;
    const char* rule;  // the Plural-Forms value, or null for none
    std::vector<Plural> messages;
};

const Case cases[] = {
    {"ru", "UTF-8", "nplurals=3; plural=(n%10==1 && n%100!=11 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2);",
     {{nullptr, "%d file", "%d files", {"%d файл", "%d файла", "%d файлов"}},
      {"menu", "%d item", "%d items", {"%d пункт", "%d пункта", "%d пунктов"}},
      {nullptr, "Open", nullptr, {"Открыть"}}}},
    {"pl", "ISO-8859-2", "nplurals=3; plural=(n==1 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2);",
     {{nullptr, "%d file", "%d files", {"%d plik", "%d pliki", "%d plików"}},
      {nullptr, "Close", nullptr, {"Zamknij źródło"}}}},
    {"ga", "ISO-8859-1", "nplurals=5; plural=n==1 ? 0 : n==2 ? 1 : (n>2 && n<7) ? 2 :(n>6 && n<11) ? 3 : 4;",
     {{nullptr, "%d day", "%d days", {"%d lá", "%d lá", "%d lá", "%d lá", "%d lá is é"}},
      {"ctx", "%d cat", "%d cats", {"%d cat á", "%d chat", "%d cait", "%d gcait", "%d cat"}}}},
    {"ja", "EUC-JP", "nplurals=1; plural=0;",
     {{nullptr, "%d file", "%d files", {"%d 個のファイル"}}, {nullptr, "Save", nullptr, {"保存"}}}},
    {"de", "ISO-8859-15", "nplurals=2; plural=(n != 1);",
     {{nullptr, "%d euro", "%d euros", {"%d Euro €", "%d Euro (€)"}}, {nullptr, "Grüße", nullptr, {"Grüße"}}}},
    {"ar", "UTF-8", "nplurals=6; plural=n==0 ? 0 : n==1 ? 1 : n==2 ? 2 : n%100>=3 && n%100<=10 ? 3 : n%100>=11 ? 4 : 5;",
     {{nullptr, "%d book", "%d books", {"لا كتب", "كتاب", "كتابان", "%d كتب", "%d كتابًا", "%d كتاب"}}}},
    // Rules that use every operator, and one whose forms run short (a message
    // with fewer forms than the index the rule gives yields form 0, as gettext's does).
    {"x1", "UTF-8", "nplurals=4; plural=!(n==1) + (n>4 || n==0) + (n*2-1)/3%2 * (n<=9 && n>=7);",
     {{nullptr, "%d x", "%d xs", {"a", "b", "c", "d"}}}},
    {"x2", "UTF-8", "nplurals=3; plural= n % 4 ;", {{nullptr, "%d y", "%d ys", {"one", "two"}}}},
    // No rule declared: gettext's default, n != 1.
    {"x3", "KOI8-R", nullptr, {{nullptr, "%d z", "%d zs", {"один", "много"}}}},
};

std::string key(const Plural& m) { return m.context ? std::string(m.context) + '\x04' + m.id : m.id; }

std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (char c : s) out += c == '"' || c == '\\' ? std::string("\\") + c : std::string(1, c);
    return out + '"';
}

// The catalogue as PO text in its own charset.
std::string po(const Case& c) {
    std::string header = "Content-Type: text/plain; charset=" + std::string(c.charset) + "\\n";
    if (c.rule) header += "Plural-Forms: " + std::string(c.rule) + "\\n";
    std::ostringstream out;
    out << "msgid \"\"\nmsgstr \"" << header << "\"\n\n";
    for (const Plural& m : c.messages) {
        if (m.context) out << "msgctxt " << quoted(m.context) << '\n';
        out << "msgid " << quoted(m.id) << '\n';
        if (!m.idPlural) {
            out << "msgstr " << quoted(convert(m.forms[0], c.charset)) << "\n\n";
            continue;
        }
        out << "msgid_plural " << quoted(m.idPlural) << '\n';
        for (std::size_t k = 0; k < m.forms.size(); ++k)
            out << "msgstr[" << k << "] " << quoted(convert(m.forms[k], c.charset)) << '\n';
        out << '\n';
    }
    return out.str();
}

class GettextOracle : public ::testing::Test {
protected:
    // A folder of this process's own: tests run side by side in processes of their own.
    void SetUp() override {
        directory = ::testing::TempDir() + "tav_plural_oracle." + std::to_string(getpid());
        ASSERT_EQ(std::system(("mkdir -p " + directory + "/xx/LC_MESSAGES").c_str()), 0);
        setenv("LANGUAGE", "xx", 1);
        if (!std::setlocale(LC_ALL, "C.UTF-8")) GTEST_SKIP() << "no C.UTF-8 locale for gettext";
    }
    void TearDown() override {
        std::setlocale(LC_ALL, "C");
        unsetenv("LANGUAGE");
        std::system(("rm -rf " + directory).c_str());
    }
    std::string directory;
};

// Where TAV_KEEP_CATALOGUES names a folder, the catalogues these tests write
// are copied there as they are written, for tests/tools/windows_parity.sh to
// compile with the Windows tool too.
void keep(const std::string& path, const std::string& name) {
    if (const char* folder = std::getenv("TAV_KEEP_CATALOGUES")) {
        EXPECT_EQ(std::system(("cp " + path + " " + folder + "/" + name).c_str()), 0) << folder;
    }
}

std::string localeOf(const tavtool::Catalog& catalog) {
    return tavtool::localeFile("xx", tavtool::messages({catalog}), catalog.pluralForms);
}

}  // namespace

TEST_F(GettextOracle, EveryFormAsGettextChoosesIt) {
    std::vector<unsigned long> numbers;
    for (unsigned long n = 0; n <= 1000; ++n) numbers.push_back(n);
    for (unsigned long n : {100001ul, 1000000ul, 1000000011ul, 4294967295ul, ULONG_MAX, ULONG_MAX - 1}) numbers.push_back(n);
    for (const Case& c : cases) {
        const std::string base = directory + "/" + c.domain;
        std::ofstream(base + ".po", std::ios::binary) << po(c);
        keep(base + ".po", std::string(c.domain) + ".po");
        const std::string mo = directory + "/xx/LC_MESSAGES/" + c.domain + ".mo";
        ASSERT_EQ(std::system(("msgfmt " + base + ".po -o " + mo).c_str()), 0) << c.domain;
        ASSERT_EQ(std::system(("msgfmt --endianness=big " + base + ".po -o " + base + "-big.mo").c_str()), 0);
        bindtextdomain(c.domain, directory.c_str());
        bind_textdomain_codeset(c.domain, "UTF-8");
        for (const std::string& input : {base + ".po", mo, base + "-big.mo"}) {
            std::istringstream file(localeOf(tavtool::readCatalog(input)));
            const Locale locale(file);
            for (const Plural& m : c.messages) {
                const std::string k = key(m);
                if (!m.idPlural) {
                    EXPECT_EQ(locale[k], dgettext(c.domain, k.c_str())) << input << ' ' << k;
                    continue;
                }
                EXPECT_EQ(locale[k], m.forms[0]) << input << ": form 0 stays under the msgid";
                for (unsigned long n : numbers) {
                    const char* expected = dngettext(c.domain, k.c_str(), m.idPlural, n);
                    ASSERT_EQ(locale.plural(k, n), expected) << input << ' ' << k << " n=" << n;
                    ASSERT_STREQ(locale.plural(k.c_str(), n), expected);
                }
            }
        }
    }
}

// Messages with <inttypes.h> macros, which msgfmt moves to the MO file's table
// of system-dependent strings: compiled from the PO and from msgfmt's MO, each
// gives what glibc gives a program built here, and is filed for the other
// targets' expansions too. GNOME's "%Id" lives only in a translation.
TEST_F(GettextOracle, SystemDependentStrings) {
    const std::string base = directory + "/sysdep";
    std::ofstream(base + ".po", std::ios::binary)
        << "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n"
           "Plural-Forms: nplurals=2; plural=n != 1;\\n\"\n\n"
           "#, c-format\nmsgid \"%<PRIu64> file\"\nmsgid_plural \"%<PRIu64> files\"\n"
           "msgstr[0] \"%<PRIu64> Datei\"\nmsgstr[1] \"%<PRIu64> Dateien\"\n\n"
           "#, c-format\nmsgid \"%<PRIdMAX> byte copied, %s\"\nmsgstr \"%<PRIdMAX> Byte kopiert, %s\"\n\n"
           "#, c-format\nmsgctxt \"hex\"\nmsgid \"%08<PRIx32> at %<PRIxPTR>\"\nmsgstr \"%08<PRIx32> bei %<PRIxPTR>\"\n\n"
           "#, c-format\nmsgctxt \"calendar:week:digits\"\nmsgid \"%d\"\nmsgstr \"%Id\"\n\n"
           "#, c-format\nmsgid \"%d%% done\"\nmsgstr \"%d%% fertig\"\n\n"
           // A msgid without directives whose translations have some: every C
           // library's expansion shares one key (git's catalogues have this).
           "#, c-format\nmsgid \"The bundle contains this ref:\"\n"
           "msgid_plural \"The bundle contains these %<PRIuMAX> refs:\"\n"
           "msgstr[0] \"Das Bundle enthält diese Referenz:\"\nmsgstr[1] \"Das Bundle enthält diese %<PRIuMAX> Referenzen:\"\n";
    keep(base + ".po", "sysdep.po");
    const std::string mo = directory + "/xx/LC_MESSAGES/sysdep.mo";
    ASSERT_EQ(std::system(("msgfmt " + base + ".po -o " + mo).c_str()), 0);
    ASSERT_EQ(std::system(("msgfmt --endianness=big " + base + ".po -o " + base + "-big.mo").c_str()), 0);
    bindtextdomain("sysdep", directory.c_str());
    bind_textdomain_codeset("sysdep", "UTF-8");
    const std::string keys[] = {"%" PRIdMAX " byte copied, %s", "hex\x04%08" PRIx32 " at %" PRIxPTR,
                                "calendar:week:digits\x04%d", "%d%% done"};
    for (const std::string& input : {base + ".po", mo, base + "-big.mo"}) {
        std::istringstream file(localeOf(tavtool::readCatalog(input)));
        const Locale locale(file);
        for (const std::string& k : keys) EXPECT_EQ(locale[k], dgettext("sysdep", k.c_str())) << input << ' ' << k;
        EXPECT_EQ(locale[std::string("calendar:week:digits\x04%d")], "%Id");
        const std::string one = "%" PRIu64 " file", many = "%" PRIu64 " files";
        for (unsigned long n : {0ul, 1ul, 2ul})
            EXPECT_EQ(locale.plural(one, n), dngettext("sysdep", one.c_str(), many.c_str(), n)) << input << " n=" << n;
        // What programs built for 32-bit glibc and for Windows ask for.
        EXPECT_EQ(locale[std::string("%lld byte copied, %s")], "%lld Byte kopiert, %s") << input;
        EXPECT_EQ(locale[std::string("%I64d byte copied, %s")], "%I64d Byte kopiert, %s") << input;
        EXPECT_EQ(locale[std::string("hex\x04%08x at %llx")], "%08x bei %llx") << input;
        EXPECT_EQ(locale[std::string("hex\x04%08x at %x")], "%08x bei %x") << input;
        EXPECT_EQ(locale.plural(std::string("%llu file"), 2), "%llu Dateien") << input;
        // The key all C libraries share keeps the text of the one compiled for:
        // by default this platform's, as its own gettext gives it.
        const std::string bundle = "The bundle contains this ref:", bundles = "The bundle contains these %" PRIuMAX " refs:";
        EXPECT_EQ(locale.plural(bundle, 5), dngettext("sysdep", bundle.c_str(), bundles.c_str(), 5)) << input;
        std::istringstream msvcrt(localeOf(tavtool::readCatalog(input, "UTF-8", 3)));  // mingw-64-msvcrt
        EXPECT_EQ(Locale(msvcrt).plural(bundle, 5), "Das Bundle enthält diese %I64u Referenzen:") << input;
    }

    std::ofstream(base + "-bad.po", std::ios::binary)
        << "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
           "#, c-format\nmsgid \"%<PRIu128> x\"\nmsgstr \"%<PRIu128> y\"\n";
    try {
        tavtool::readCatalog(base + "-bad.po");
        ADD_FAILURE() << "an unknown segment was accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), (base + "-bad.po: unknown system-dependent segment \"<PRIu128>\"").c_str());
    }
    // An MO string that names a segment past the segment table is refused, not
    // read past the table.
    std::ifstream in(mo, std::ios::binary);
    std::string damaged{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const auto word = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(damaged[at + i]);
        return v;
    };
    const std::uint32_t segmentCount = word(28), firstPieces = word(word(40));
    for (int i = 0; i < 4; ++i) damaged[firstPieces + 8 + i] = static_cast<char>(segmentCount >> (8 * i));
    std::ofstream(base + "-damaged.mo", std::ios::binary) << damaged;
    try {
        tavtool::readCatalog(base + "-damaged.mo");
        ADD_FAILURE() << "a segment past the table was accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), (base + "-damaged.mo: MO string refers to no segment").c_str());
    }
}

// A c-format translation must take the arguments its msgid takes: the compiler
// refuses, for a format reason, exactly what msgfmt --check refuses, and
// compiles what it accepts.
TEST_F(GettextOracle, FormatChecksAgreeWithMsgfmt) {
    const char* polish = "nplurals=3; plural=(n==1 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2);";
    const char* russian = "nplurals=3; plural=(n%10==1 && n%100!=11 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2);";
    const struct {
        const char* rule;
        const char* entry;
        bool refused;
    } cases[] = {
        {polish, "#, c-format\nmsgid \"%lu file\"\nmsgid_plural \"%lu files\"\nmsgstr[0] \"%lu plik\"\n"
                 "msgstr[1] \"%s%s%s%s pliki\"\nmsgstr[2] \"%lu plików\"\n", true},
        // A form the rule uses for n = 1 alone may leave the count out ...
        {polish, "#, c-format\nmsgid \"%lu file\"\nmsgid_plural \"%lu files\"\nmsgstr[0] \"jeden plik\"\n"
                 "msgstr[1] \"%lu pliki\"\nmsgstr[2] \"%lu plików\"\n", false},
        // ... but not one used for 1, 21, 31, ..., nor the only form.
        {russian, "#, c-format\nmsgid \"%lu file\"\nmsgid_plural \"%lu files\"\nmsgstr[0] \"файл\"\n"
                  "msgstr[1] \"%lu файла\"\nmsgstr[2] \"%lu файлов\"\n", true},
        {"nplurals=1; plural=0;", "#, c-format\nmsgid \"%lu file\"\nmsgid_plural \"%lu files\"\nmsgstr[0] \"ファイル\"\n", true},
        {nullptr, "#, c-format\nmsgid \"%s has %d\"\nmsgstr \"%2$d bei %1$s\"\n", false},
        {nullptr, "#, c-format\nmsgid \"%s has %d\"\nmsgstr \"%2$s bei %1$d\"\n", true},
        {nullptr, "#, c-format\nmsgid \"%d of %d\"\nmsgstr \"%d von %s\"\n", true},
        {nullptr, "#, c-format\nmsgid \"%d\"\nmsgstr \"%d %d\"\n", true},
        {nullptr, "#, c-format\nmsgid \"%d\"\nmsgstr \"%y\"\n", true},
        {nullptr, "#, c-format\nmsgid \"100%% of %d\"\nmsgstr \"100%% von %d\"\n", false},
        {nullptr, "#, c-format\nmsgid \"%<PRId64> bytes\"\nmsgstr \"%<PRId64> Bytes\"\n", false},
        {nullptr, "#, c-format\nmsgid \"%<PRId64> bytes\"\nmsgstr \"%s Bytes\"\n", true},
        {nullptr, "#, fuzzy, c-format\nmsgid \"%d\"\nmsgstr \"%s\"\n", false},  // fuzzy entries are left out
        {nullptr, "msgid \"%d\"\nmsgstr \"%s\"\n", false},                      // not flagged c-format
    };
    const std::string path = directory + "/format.po";
    for (const auto& c : cases) {
        std::ofstream(path, std::ios::binary)
            << "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n"
            << (c.rule ? "Plural-Forms: " + std::string(c.rule) + "\\n" : std::string()) << "\"\n\n"
            << c.entry;
        keep(path, "format-" + std::to_string(&c - cases) + ".po");
        const bool msgfmtRefuses = std::system(("msgfmt -c -o /dev/null " + path + " 2>/dev/null").c_str()) != 0;
        EXPECT_EQ(msgfmtRefuses, c.refused) << "msgfmt, the oracle, disagrees with the table: " << c.entry;
        std::string refusal;
        try {
            tavtool::readCatalog(path);
        } catch (const std::runtime_error& e) {
            refusal = e.what();
        }
        EXPECT_EQ(!refusal.empty(), msgfmtRefuses) << c.entry << refusal;
        if (!refusal.empty()) {
            EXPECT_EQ(refusal.rfind(path + ":", 0), 0u) << refusal;
        }
    }
    // The refusal names the line, the msgid and both fields' directives.
    std::ofstream(path, std::ios::binary) << "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n"
                                          << "Plural-Forms: " << polish << "\\n\"\n\n" << cases[0].entry;
    try {
        tavtool::readCatalog(path);
        ADD_FAILURE() << "accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), (path + ":7: \"%lu file\": number of format specifications in 'msgid_plural' and "
                                       "'msgstr[1]' does not match (msgid_plural: %lu; msgstr[1]: %s %s %s %s)").c_str());
    }
}

TEST(Plural, CharsetsAndRulesAreCheckedWhenCompiled) {
    const std::string directory = ::testing::TempDir() + "tav_plural_bad." + std::to_string(getpid());
    ASSERT_EQ(std::system(("mkdir -p " + directory).c_str()), 0);
    // Binary MO catalogues, written here, since msgfmt refuses to make bad ones.
    const auto mo = [](const std::vector<std::pair<std::string, std::string>>& entries) {
        std::string out;
        const auto word = [&out](std::size_t v) {
            for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i) & 0xFF);
        };
        const std::size_t n = entries.size(), strings = 28 + 16 * n;
        word(0x950412DE), word(0), word(n), word(28), word(28 + 8 * n), word(0), word(0);
        std::string data;
        std::vector<std::size_t> at;
        for (int side = 0; side < 2; ++side)
            for (const auto& e : entries) {
                const std::string& s = side ? e.second : e.first;
                at.push_back(data.size());
                data += s + '\0';
            }
        for (int side = 0; side < 2; ++side)
            for (std::size_t i = 0; i < n; ++i) {
                const std::string& s = side ? entries[i].second : entries[i].first;
                word(s.size()), word(strings + at[side * n + i]);
            }
        return out + data;
    };
    const struct {
        const char* header;
        std::string msgstr;
        const char* message;  // what the refusal says, after the file's name
    } bad[] = {
        {"charset=NO-SUCH-SET", "b", "cannot convert from the character set \"NO-SUCH-SET\" to \"UTF-8\""},
        {"charset=UTF-8", "\xff", "the translation of \"k\" is not valid \"UTF-8\""},
        {"charset=EUC-JP", "\xa4", "the translation of \"k\" is not valid \"EUC-JP\""},
        {"charset=UTF-8\nPlural-Forms: nplurals=2; plural=n >> 1;", "b", "plural rule \"nplurals=2; plural=n >> 1;\": unexpected '>' at byte 22"},
        {"charset=UTF-8\nPlural-Forms: nplurals=0; plural=0;", "b", "nplurals must be a number from 1 to 100"},
        {"charset=UTF-8\nPlural-Forms: nplurals=101; plural=0;", "b", "nplurals must be a number from 1 to 100"},
        {"charset=UTF-8\nPlural-Forms: plural=n != 1;", "b", "no nplurals="},
        {"charset=UTF-8\nPlural-Forms: 2", "b", "plural rule \"2\": no nplurals="},
    };
    for (const auto& b : bad) {
        const std::string path = directory + "/bad.mo";
        // A malformed rule is refused where a plural message needs it.
        std::ofstream(path, std::ios::binary)
            << mo({{"", "Content-Type: text/plain; " + std::string(b.header) + "\n"}, {"k", b.msgstr},
                   {std::string("one\0many", 8), std::string("b\0c", 3)}});
        try {
            tavtool::readCatalog(path);
            ADD_FAILURE() << "accepted " << b.header;
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(path + ": "), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(b.message), std::string::npos) << e.what();
        }
    }
    // Without plural messages a malformed rule is left out, as gettext ignores it
    // (real catalogues say "Plural-Forms: 2" and "nulurals=1; plural=0;").
    for (const char* rule : {"2", "nulurals=1; plural=0;"}) {
        const std::string path = directory + "/lenient.mo";
        std::ofstream(path, std::ios::binary)
            << mo({{"", "Content-Type: text/plain; charset=UTF-8\nPlural-Forms: " + std::string(rule) + "\n"},
                   {"k", "v"}});
        const tavtool::Catalog lenient = tavtool::readCatalog(path);
        EXPECT_EQ(lenient.pluralForms, "") << rule;
        ASSERT_EQ(lenient.messages.size(), 1u) << rule;
        EXPECT_EQ(lenient.messages[0].text, "v");
    }
    // Damaged MO files, refused by what is wrong; an unsorted one, whose header
    // is not first, read as it is.
    const auto put = [](std::string bytes, std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i) & 0xFF);
        return bytes;
    };
    const std::string good = mo({{"", "Content-Type: text/plain; charset=UTF-8\n"}, {"k", "v"}});
    const std::string huge = put(put(put(put(good, 44, 0xFFFFFFF0u), 48, 0), 52, 0x20), 56, 0);
    const struct {
        const char* what;
        std::string bytes;
        const char* message;
    } damaged[] = {
        {"the magic number alone", good.substr(0, 4), "truncated MO file"},
        {"a later revision", put(good, 4, 0x20000), "unknown MO revision"},
        {"a string past the end", put(good, 56, static_cast<std::uint32_t>(good.size())), "MO string out of bounds"},
        {"a table past the end", put(good, 16, 0xFFFFFF00u), "truncated MO file"},
        {"translations over 4 GiB together", huge, "its translations come to more than the 4 GiB a locale file can hold"},
    };
    for (const auto& d : damaged) {
        const std::string path = directory + "/damaged.mo";
        std::ofstream(path, std::ios::binary) << d.bytes;
        try {
            tavtool::readCatalog(path);
            ADD_FAILURE() << "accepted " << d.what;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), (path + ": " + d.message).c_str()) << d.what;
        }
    }
    std::ofstream(directory + "/unsorted.mo", std::ios::binary)
        << mo({{"k", "\xa4\xa2"}, {"", "Content-Type: text/plain; charset=EUC-JP\n"}});
    EXPECT_EQ(tavtool::readCatalog(directory + "/unsorted.mo").messages.at(0).text, "\xe3\x81\x82");

    // Another target charset; a character it has not is refused.
    std::ofstream(directory + "/l1.po", std::ios::binary)
        << "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\nmsgid \"a\"\nmsgstr \"Grüße\"\n\n"
           "msgid \"b\"\nmsgstr \"€\"\n";
    try {
        tavtool::readCatalog(directory + "/l1.po", "ISO-8859-1");
        ADD_FAILURE() << "a euro sign in ISO-8859-1";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("holds characters that \"ISO-8859-1\" has not"), std::string::npos) << e.what();
    }
    const tavtool::Catalog cp1252 = tavtool::readCatalog(directory + "/l1.po", "CP1252");
    EXPECT_EQ(cp1252.messages[0].text, "Gr\xfc\xdf" "e");
    EXPECT_EQ(cp1252.messages[1].text, "\x80");
    // A PO file in a character set whose letters compose with the accents after
    // them is refused unread: libgettextpo's reader would stop the program.
    std::ofstream(directory + "/he.po", std::ios::binary)
        << "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=CP1255\\n\"\n\nmsgid \"a\"\nmsgstr \"\xf9\xec\xe5\xed\"\n";
    try {
        tavtool::readCatalog(directory + "/he.po");
        ADD_FAILURE() << "a PO file in CP1255";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), (directory + "/he.po: PO files in \"CP1255\", whose letters compose with the accents after "
                                            "them, cannot be read; convert the file to UTF-8 first (iconv -f CP1255 -t UTF-8)")
                                   .c_str());
    }
    std::system(("rm -rf " + directory).c_str());
}

// An MO file's entries may share one translation's bytes: thousands of
// messages one text. They share them in memory too, and the locale file,
// written as it is produced, holds each.
TEST(Plural, SharedTranslationsStayShared) {
    std::string mo;
    const auto word = [&mo](std::size_t v) {
        for (int i = 0; i < 4; ++i) mo += static_cast<char>(v >> (8 * i) & 0xFF);
    };
    const std::string header = "Content-Type: text/plain; charset=UTF-8\n", text(1000, 't');
    const std::size_t data = 28 + 4 * 16;  // the header entry and three messages
    word(0x950412DE), word(0), word(4), word(28), word(28 + 32), word(0), word(0);
    word(0), word(data);                                        // ""
    for (std::size_t i = 0; i < 3; ++i) word(2), word(data + 1 + 3 * i);  // "k0" to "k2"
    word(header.size()), word(data + 10);
    for (int i = 0; i < 3; ++i) word(text.size()), word(data + 11 + header.size());  // one text for all
    mo += std::string(1, '\0') + std::string("k0\0k1\0k2\0", 9) + header + '\0' + text + '\0';
    const tavtool::Catalog catalog = tavtool::readMo("shared.mo", mo);
    ASSERT_EQ(catalog.messages.size(), 3u);
    EXPECT_EQ(catalog.messages[0].text, text);
    EXPECT_EQ(&catalog.messages[0].text.str(), &catalog.messages[2].text.str());
    std::istringstream file(localeOf(catalog));
    Tav::International::Locale locale(file);
    EXPECT_EQ(locale["k1"], text);
    EXPECT_EQ(locale["k2"], text);
}

TEST(Plural, RulesEvaluateSafely) {
    const struct {
        const char* rule;
        unsigned long n;
        unsigned long form;
    } rules[] = {
        {"nplurals=3; plural=n/0;", 5, 0},  // gettext's own evaluator traps here
        {"nplurals=3; plural=n%(n-5);", 5, 0},
        {"nplurals=3; plural=n==5 || n/0;", 5, 1},  // the right side of || is not evaluated
        {"nplurals=3; plural=n!=5 && n/0;", 5, 0},
        {"nplurals=3; plural=n==5 ? 2 : n/0;", 5, 2},
        {"nplurals=3; plural=n;", 7, 0},  // an index not below nplurals gives form 0
        {"nplurals=3; plural=n;", 3, 0},
        {"nplurals=3; plural=n;", 2, 2},
        {"nplurals=3; plural=0-1;", 7, 0},
        {"nplurals=3; plural=n ? n-1 ? 2 : 1 : 0;", 0, 0},
        {"nplurals=3; plural=n ? n-1 ? 2 : 1 : 0;", 1, 1},
        {"nplurals=3; plural=n ? n-1 ? 2 : 1 : 0;", 9, 2},
        {"nplurals=9; plural=1+2*3-4%3<=7-(2>1)*!0;", 0, 1},
        {" nplurals= 3; plural= n >= 2\t;\n", 3, 1},
    };
    for (const auto& r : rules) EXPECT_EQ(PluralRule(r.rule).select(r.n), r.form) << r.rule << " n=" << r.n;
    EXPECT_EQ(PluralRule().select(1), 0u);
    EXPECT_EQ(PluralRule().select(0), 1u);

    const struct {
        const char* rule;
        const char* message;
    } malformed[] = {
        {"nplurals=2; plural=;", "unexpected ';' at byte 19"},
        {"nplurals=2; plural=n +;", "unexpected ';' at byte 22"},
        {"nplurals=2; plural=(n;", "')' expected at byte 21"},
        {"nplurals=2; plural=n ? 1;", "':' expected at byte 24"},
        {"nplurals=2; plural=n = 1;", "unexpected '=' at byte 21"},
        {"nplurals=2; plural=-n;", "unexpected '-' at byte 19"},
        {"nplurals=2; plural=n & 1;", "unexpected '&' at byte 21"},
        {"nplurals=2; plural=n) ;", "unexpected ')' at byte 20"},
        {"nplurals=x; plural=n;", "nplurals must be a number from 1 to 100"},
        {"nplurals=2; plural=!=n;", "unexpected '!' at byte 19"},
        {"nplurals=2; plural=n 1;", "unexpected '1' at byte 21"},
    };
    for (const auto& m : malformed) {
        try {
            PluralRule{m.rule};
            ADD_FAILURE() << "accepted " << m.rule;
        } catch (const std::invalid_argument& e) {
            EXPECT_STREQ(e.what(), m.message) << m.rule;
        }
    }
    // Nesting is bounded; what is accepted evaluates without recursion.
    const std::string deep = "nplurals=2; plural=" + std::string(PluralRule::maxNesting, '(') + "n" +
                             std::string(PluralRule::maxNesting, ')') + ";";
    EXPECT_THROW(PluralRule{deep}, std::invalid_argument);
    const std::string deepest = "nplurals=2; plural=" + std::string(PluralRule::maxNesting - 1, '(') + "n" +
                                std::string(PluralRule::maxNesting - 1, ')') + ";";
    EXPECT_EQ(PluralRule(deepest).select(1), 1u);
    EXPECT_THROW(PluralRule("nplurals=2; plural=" + std::string(10000, '!') + "n;"), std::invalid_argument);
    // Precedence stacks operands without nesting: "n==n<n+n*(" takes four places
    // a level. The evaluation stack's 256 places are a limit of their own.
    std::string levels, closing;
    for (int i = 0; i < 63; ++i) levels += "n==n<n+n*(", closing += ")";
    EXPECT_EQ(PluralRule("nplurals=2; plural=" + levels + "n==n<n+n" + closing + ";").select(1), 1u);  // 256 places
    EXPECT_THROW(PluralRule("nplurals=2; plural=" + levels + "n==n<n+n*n" + closing + ";"), std::invalid_argument);
    // The value is read within its view, never past it.
    const std::string longer = "plural=n; nplurals=27";
    EXPECT_EQ(PluralRule(std::string_view(longer).substr(0, longer.size() - 1)).select(5), 0u);
    const std::string cut = "plural=n; nplurals= ";
    const std::vector<char> exact(cut.begin(), cut.end() - 1);  // nothing after it to read
    EXPECT_THROW(PluralRule(std::string_view(exact.data(), exact.size())), std::invalid_argument);
    // Long flat chains take no more places than one link does.
    std::string ors = "n==0", ands = "n!=0", choices = "(n==0?1:0)";
    for (int i = 1; i < 300; ++i) {
        const std::string k = std::to_string(i);
        ors += "||n==" + k, ands += "&&n!=" + k, choices += "+(n==" + k + "?1:0)";
    }
    for (const std::string& chain : {ors, choices}) {
        const PluralRule rule("nplurals=2; plural=" + chain + ";");
        EXPECT_EQ(rule.select(299), 1u);
        EXPECT_EQ(rule.select(300), 0u);
    }
    EXPECT_EQ(PluralRule("nplurals=2; plural=" + ands + ";").select(299), 0u);
    EXPECT_EQ(PluralRule("nplurals=2; plural=" + ands + ";").select(300), 1u);
    // A chain of 40 ?: branches, which msgfmt accepts; a rule past 4 KiB is refused.
    std::string chain;
    for (int k = 0; k < 40; ++k) chain += "n==" + std::to_string(k) + " ? " + std::to_string(k) + " : ";
    EXPECT_EQ(PluralRule("nplurals=41; plural=" + chain + "40;").select(17), 17u);
    EXPECT_EQ(PluralRule("nplurals=41; plural=" + chain + "40;").select(99), 40u);
    const std::string padded = "nplurals=2; plural=n != 1;" + std::string(PluralRule::maxLength, ' ');
    EXPECT_NO_THROW(PluralRule{padded});  // blanks around the value do not count
    EXPECT_THROW(PluralRule("nplurals=2; plural=" + std::string(PluralRule::maxLength, ' ') + "n;"), std::invalid_argument);
}

// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <tav/format/riff/file.hpp>

#include "errors.hpp"
#include "riff_writer.hpp"

using namespace Tav::Format;
using tavtool::be32;
using tavtool::chunk;
using tavtool::ds64;
using tavtool::le32;
using tavtool::le64;
using tavtool::publishedChunk;
using tavtool::publishedList;
using tavtool::publishedRiff;
using tavtool::riff;
using tavtool::wave64;
using tavtool::wave64Chunk;
using tavtool::wave64Guid;

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

namespace {

// A stream of `gap` zero bytes followed by `tail`, without holding the zeros:
// forms past 4 GiB read as if on disk. Reads from `failFrom` on fail, as on a
// device error or a file cut while it is read: its size still counts them.
struct Sparse : std::streambuf {
    std::uint64_t gap;
    std::string tail;
    std::string head;  // stands over the gap's first bytes
    std::uint64_t failFrom;
    char byte = 0;
    std::uint64_t at = 0;
    Sparse(std::uint64_t gap, std::string tail, std::uint64_t failFrom = UINT64_MAX)
        : gap(gap), tail(std::move(tail)), failFrom(failFrom) {}
    std::uint64_t size() const { return gap + tail.size(); }
    int_type underflow() override {
        if (at >= size() || at >= failFrom) return traits_type::eof();
        byte = at < head.size() ? head[static_cast<std::size_t>(at)]
               : at < gap       ? '\0'
                                : tail[static_cast<std::size_t>(at - gap)];
        setg(&byte, &byte, &byte + 1);
        return traits_type::to_int_type(byte);
    }
    int_type uflow() override {
        const int_type c = underflow();
        if (c != traits_type::eof()) ++at;
        setg(nullptr, nullptr, nullptr);
        return c;
    }
    pos_type seekoff(off_type off, std::ios::seekdir dir, std::ios::openmode) override {
        const std::int64_t from = dir == std::ios::beg ? 0 : dir == std::ios::end ? static_cast<std::int64_t>(size())
                                                                                  : static_cast<std::int64_t>(at);
        if (from + off < 0) return pos_type(off_type(-1));
        at = static_cast<std::uint64_t>(from + off);
        setg(nullptr, nullptr, nullptr);
        return pos_type(static_cast<off_type>(at));
    }
    pos_type seekpos(pos_type pos, std::ios::openmode which) override { return seekoff(pos, std::ios::beg, which); }
};

}  // namespace

// Headers are read in blocks: a read that fails in a later block ends the walk
// there, and the stream's state tells the caller why; nothing is made of
// whatever the block's buffer held.
TEST(RiffFile, StreamFailingMidWalkEndsTheWalk) {
    const std::string big(70000, 'x');  // the next header lies beyond the first block
    Sparse failing(0, riff("WAVE", chunk("big ", big) + chunk("next", "abc") + chunk("last", "")), 70010);
    std::istream data(&failing);
    RIFF::File file(data);
    EXPECT_EQ(file.count(), 1);
    EXPECT_TRUE(data.fail());
    char bytes[3];
    EXPECT_FALSE(file.read(70028, 3, bytes));
}

// A walk reads the stream in blocks, not a seek and a read per header: each
// seek of an std::ifstream throws its buffer away.
TEST(RiffFile, WalkReadsTheStreamInBlocks) {
    struct Counting : std::stringbuf {
        int seeks = 0;
        using std::stringbuf::stringbuf;
        pos_type seekpos(pos_type pos, std::ios::openmode which) override {
            ++seeks;
            return std::stringbuf::seekpos(pos, which);
        }
    };
    std::string chunks;
    for (int i = 0; i < 1000; ++i) chunks += chunk("abcd", "12345678");
    Counting counting(riff("TEST", chunks));
    std::istream data(&counting);
    RIFF::File file(data);
    EXPECT_EQ(file.count(), 1000);
    EXPECT_LT(counting.seeks, 20);
}

// A stream of several published forms (OpenDML AVI), read form by form: each
// form's chunks count their offsets from its own header, wherever it stands.
TEST(RiffFile, FormsOneAfterAnother) {
    const auto published = RIFF::Convention::Published;
    const std::string avi = publishedRiff("AVI ", publishedChunk("strh", "abc") + publishedChunk("idx1", ""));
    const std::string avix = publishedRiff("AVIX", publishedChunk("movi", "frames"));
    const std::string shortLength = "RIFF" + le32(3) + "AVIX";  // no form: the constructor would refuse it
    const struct {
        const char* what;
        std::string bytes;
        std::vector<std::string> forms;  // type@origin:first child's offset ("-": none)
        std::uint64_t last;              // the last form's limit
    } cases[] = {
        {"one form", avi, {"AVI @0:12"}, avi.size()},
        {"two forms", avi + avix, {"AVI @0:12", "AVIX@32:12"}, avi.size() + avix.size()},
        {"three forms and a tag", avi + avix + avix + "TAG", {"AVI @0:12", "AVIX@32:12", "AVIX@58:12"}, 84},
        {"a header too short for a form", avi + shortLength, {"AVI @0:12"}, avi.size()},
        {"a form cut short", avi + avix.substr(0, 20), {"AVI @0:12", "AVIX@32:12"}, avi.size() + 20},
        {"an empty form last", avi + publishedRiff("AVIX", ""), {"AVI @0:12", "AVIX@32:-"}, avi.size() + 12},
        {"a form after an odd chunk whose pad is missing", publishedRiff("AVI ", chunk("strh", "abc")) + avix,
         {"AVI @0:12"}, 24},  // the form's pad byte is the next header's first byte
    };
    for (const auto& c : cases) {
        std::istringstream data(c.bytes);
        std::vector<std::string> forms;
        std::uint64_t limit = 0;
        for (std::uint64_t at = 0;;) {
            RIFF::File form(data, published, at);
            forms.push_back(std::string(form.type().chars, 4) + "@" + std::to_string(form.origin()) + ":" +
                            (form.count() ? std::to_string(form[0].offset()) : "-"));
            limit = form.limit();
            if ((at = form.next()) == 0) break;
            EXPECT_EQ(at, limit) << c.what;
        }
        EXPECT_EQ(forms, c.forms) << c.what;
        EXPECT_EQ(limit, c.last) << c.what;
    }

    // Each form reads its own data; one opened where no form stands is refused.
    std::istringstream data(avi + avix);
    RIFF::File second(data, published, avi.size());
    EXPECT_EQ(std::string(second[0].open(), 6), "frames");
    EXPECT_EQ(second.length(), avix.size() - 8);
    EXPECT_THROWS_PTR(std::invalid_argument, RIFF::File(data, published, 2), badSignature);
    EXPECT_THROWS_PTR(std::invalid_argument, RIFF::File(data, published, avi.size() + avix.size()), badSignature);
    // In Tav's convention a form fills the stream from where it stands; none follows it.
    const std::string own = riff("OSTR", chunk("NAME", "x"));
    std::istringstream two(own + own);
    EXPECT_THROWS_PTR(std::invalid_argument, RIFF::File(two, RIFF::Convention::Tav, 0), badLength);
    RIFF::File last(two, RIFF::Convention::Tav, own.size());
    EXPECT_EQ(last.limit(), 2 * own.size());
    EXPECT_EQ(last.next(), 0u);
    RIFF::File unparented;
    EXPECT_THROWS_PTR(std::invalid_argument, unparented.next(), "Unparented chunk!");

    // A form past 4 GiB: every offset of the stream is 64-bit, the form's own 32-bit.
    const std::uint64_t far = (std::uint64_t{5} << 30) + 2;
    Sparse sparse(far, avix + avix);
    std::istream stream(&sparse);
    RIFF::File beyond(stream, published, far);
    EXPECT_EQ(beyond.origin(), far);
    EXPECT_EQ(std::string(beyond[0].open(), 6), "frames");
    EXPECT_EQ(beyond.next(), far + avix.size());
    RIFF::File after(stream, published, beyond.next());
    EXPECT_EQ(after.limit(), sparse.size());
    EXPECT_EQ(after.next(), 0u);
}

namespace {

// A chunk tree as the library reads it: "id type length" per chunk, depth by
// indentation; "-" for a type a Wave64 GUID does not give.
std::string shape(RIFF::List& list, int depth = 0) {
    std::string out;
    for (std::int32_t i = 0; i < list.count(); ++i) {
        RIFF::Chunk& child = list[static_cast<std::uint32_t>(i)];
        const FourCC id = child.type();
        out += std::string(2 * static_cast<std::size_t>(depth), ' ') +
               (id.value ? std::string(id.chars, 4) : std::string("-")) + "@" + std::to_string(child.offset64()) +
               ":" + std::to_string(child.length64()) + "\n";
        if (RIFF::List::is(child)) out += shape(static_cast<RIFF::List&>(child), depth + 1);
    }
    return out;
}

std::string rf64(const char* signature, const std::string& body) {
    return signature + le32(0xFFFFFFFF) + body;
}

}  // namespace

// Every member of the family walks as RIFF does: each chunk's id, its true
// length (a RIFX field read big-endian, an RF64 placeholder from "ds64", a
// Wave64 size less its header) and its data.
TEST(RiffFamily, WalksEveryMember) {
    const std::string fmt = "16 bytes of fmt.";
    const std::string rifxBody = "WAVE" + std::string("fmt ") + be32(16) + fmt + "LIST" + be32(4 + 8 + 3 + 1) +
                                 "INFO" + "ISFT" + be32(3) + "ab" + '\0' + '\0' + "data" + be32(5) + "abcde" + '\0';
    const std::string table = "none" + le64(99) + "big " + le64(7);  // the second entry is the one used
    const std::string rf64Body = "WAVE" + ds64(1000, 5, table) + publishedChunk("fmt ", fmt) + "big " + le32(0xFFFFFFFF) +
                                 "1234567" + '\0' + "data" + le32(0xFFFFFFFF) + "abcde" + '\0';
    const std::string unknown(16, '\x5A');
    const std::string w64 = wave64("wave", wave64Chunk("fmt ", fmt) + wave64Chunk(unknown, "abc") +
                                               wave64Chunk("list", "not a list") + wave64Chunk("data", "abcde"));
    const struct {
        const char* what;
        std::string bytes;
        RIFF::Family family;
        std::uint64_t length;  // the form's
        std::string tree;
    } cases[] = {
        {"RIFX", "RIFX" + be32(rifxBody.size()) + rifxBody, RIFF::Family::RIFX, 4 + 24 + 24 + 14,
         "fmt @12:16\nLIST@36:16\n  ISFT@48:3\ndata@60:5\n"},
        {"RF64", rf64("RF64", rf64Body), RIFF::Family::RF64, 1000, "ds64@12:52\nfmt @72:16\nbig @96:7\ndata@112:5\n"},
        {"BW64", rf64("BW64", rf64Body), RIFF::Family::BW64, 1000, "ds64@12:52\nfmt @72:16\nbig @96:7\ndata@112:5\n"},
        {"Wave64", w64, RIFF::Family::Wave64, w64.size() - 24,
         "fmt @40:16\n-@80:3\nlist@112:10\ndata@152:5\n"},
    };
    for (const auto& c : cases) {
        std::istringstream data(c.bytes);
        RIFF::File file(data, RIFF::Convention::Published);
        EXPECT_EQ(file.family(), c.family) << c.what;
        EXPECT_EQ(shape(file), c.tree) << c.what;
        EXPECT_EQ(std::string(file.type().chars, 4), c.family == RIFF::Family::Wave64 ? "wave" : "WAVE") << c.what;
        EXPECT_EQ(file.length64(), c.length) << c.what;
        RIFF::Chunk& last = file[static_cast<std::uint32_t>(file.count() - 1)];
        EXPECT_EQ(std::string(last.open(), 5), "abcde") << c.what;
        char part[8] = {};
        EXPECT_EQ(last.read(3, part, sizeof part), 2u) << c.what;  // clipped to the data
        EXPECT_EQ(std::string(part, 2), "de") << c.what;
        EXPECT_EQ(last.read(5, part, 1), 0u) << c.what;
        EXPECT_EQ(file.limit(), c.bytes.size()) << c.what;
        EXPECT_EQ(file.next(), 0u) << c.what;
        // Tav's convention reads RIFF only.
        std::istringstream again(c.bytes);
        EXPECT_EQ(thrownMessage<std::invalid_argument>([&] { RIFF::File(again, RIFF::Convention::Tav); }),
                  badSignature)
            << c.what;
    }

    // A Wave64 chunk shows its GUID whole, a RIFF chunk its id and zeros.
    std::istringstream wave(w64);
    RIFF::File file(wave, RIFF::Convention::Published);
    const auto guid = file[1].guid();
    EXPECT_EQ(std::string(guid.begin(), guid.end()), unknown);
    const auto fmtGuid = file[0].guid();
    EXPECT_EQ(std::string(fmtGuid.begin(), fmtGuid.end()), wave64Guid("fmt "));
    std::istringstream plain(riff("WAVE", chunk("data", "")));
    RIFF::File riffFile(plain);
    const auto riffGuid = riffFile[0].guid();
    EXPECT_EQ(std::string(riffGuid.begin(), riffGuid.end()), "data" + std::string(12, '\0'));
}

// Damage reads as the truth or a one-line refusal, never as a wrong length.
TEST(RiffFamily, RefusesOrShowsDamage) {
    const auto published = RIFF::Convention::Published;
    const auto refusal = [&](const std::string& bytes) {
        std::istringstream data(bytes);
        return thrownMessage<std::invalid_argument>([&] { RIFF::File(data, published); });
    };
    const char* const badDs64 = "Tav::Format::RIFF::File::constructor: Malformed ds64 chunk!";
    const std::string fmt = chunk("fmt ", "0123");
    EXPECT_EQ(refusal(rf64("RF64", "WAVE" + fmt)), badDs64);  // no ds64 first
    EXPECT_EQ(refusal(rf64("RF64", "WAVE" + chunk("ds64", std::string(27, '\0')))), badDs64);  // too short
    EXPECT_EQ(refusal(rf64("RF64", "WAVE")), badDs64);  // cut before it
    // A table longer than its chunk, or than the stream.
    std::string longTable = ds64(100, 0, "big " + le64(7));
    longTable.replace(8 + 24, 4, le32(2));
    EXPECT_EQ(refusal(rf64("RF64", "WAVE" + longTable)), badDs64);
    std::string pastStream = ds64(100, 0, "big " + le64(7));
    pastStream.replace(4, 4, le32(28 + 12 * 1000));
    pastStream.replace(8 + 24, 4, le32(1000));
    EXPECT_EQ(refusal(rf64("RF64", "WAVE" + pastStream)), badDs64);
    EXPECT_EQ(refusal(rf64("RF64", "WAVE" + ds64(3, 0))), badLength);  // no room for the form type
    EXPECT_EQ(refusal(wave64("wave", "").substr(0, 20)), badLength);
    std::string tiny = wave64("wave", "");
    tiny.replace(16, 8, le64(39));
    EXPECT_EQ(refusal(tiny), badLength);
    EXPECT_EQ(refusal(wave64("wave", wave64Chunk("data", "").substr(0, 16) + le64(23))),
              "Malformed Wave64 chunk size!");
    EXPECT_EQ(refusal("RIFX" + be32(3) + "WAVE"), badLength);

    // A ds64 that claims more than the stream holds: the form reads to the
    // stream's end, the chunk keeps its length, open() refuses, read() gives
    // what there is. A placeholder without a table entry stays 0xFFFFFFFF.
    const std::uint64_t huge = std::uint64_t{5} << 30;
    std::istringstream cut(rf64("RF64", "WAVE" + ds64(huge + 100, huge) + "data" + le32(0xFFFFFFFF) + "abc"));
    RIFF::File file(cut, published);
    EXPECT_EQ(file.length64(), huge + 100);
    EXPECT_EQ(thrownMessage<std::invalid_argument>([&] { file.length(); }), "Chunk length past 4 GiB!");
    RIFF::Chunk& data = file[1];
    EXPECT_EQ(data.length64(), huge);
    EXPECT_EQ(data.dataEnd(), 48 + 8 + huge);
    EXPECT_EQ(thrownMessage<std::invalid_argument>([&] { data.open(); }), "Chunk data past end of stream!");
    char bytes[8];
    EXPECT_EQ(data.read(1, bytes, sizeof bytes), 2u);
    EXPECT_EQ(std::string(bytes, 2), "bc");
    cut.clear();  // the read ran into the stream's end
    EXPECT_EQ(file.limit(), 48u + 8 + 3);
    std::istringstream unlisted(rf64("RF64", "WAVE" + ds64(100, 0) + "junk" + le32(0xFFFFFFFF) + "abc"));
    RIFF::File other(unlisted, published);
    EXPECT_EQ(other[1].length64(), 0xFFFFFFFFu);
    EXPECT_EQ(other[1].length(), 0xFFFFFFFFu);  // fits: the field as it stands
}

// Past 4 GiB every offset and length is 64-bit, streamed from a stream that
// holds no more than its headers; the 32-bit calls refuse what does not fit.
TEST(RiffFamily, ReachesPast4GiB) {
    const std::uint64_t big = std::uint64_t{1} << 32;  // one more than a 32-bit length holds
    const std::uint64_t after = 40 + 24 + big;
    const std::string last = wave64Chunk("fmt ", "tail");
    Sparse sparse(after, last);
    const std::string head = wave64Guid("riff") + le64(after + last.size()) + wave64Guid("wave");
    sparse.head = head + wave64Guid("data") + le64(24 + big) + "xyz";
    std::istream stream(&sparse);
    RIFF::File file(stream, RIFF::Convention::Published);
    ASSERT_EQ(file.count(), 2);
    RIFF::Chunk& data = file[0];
    EXPECT_EQ(data.length64(), big);
    EXPECT_EQ(thrownMessage<std::invalid_argument>([&] { data.length(); }), "Chunk length past 4 GiB!");
    char bytes[4] = {};
    EXPECT_EQ(data.read(0, bytes, 3), 3u);
    EXPECT_EQ(std::string(bytes, 3), "xyz");
    EXPECT_EQ(data.read(big - 1, bytes, 4), 1u);
    RIFF::Chunk& tail = file[1];
    EXPECT_EQ(tail.offset64(), after);
    EXPECT_EQ(thrownMessage<std::invalid_argument>([&] { tail.offset(); }), "Chunk offset past 4 GiB!");
    EXPECT_EQ(std::string(tail.type().chars, 4), "fmt ");
    EXPECT_EQ(std::string(tail.open(), 4), "tail");
    EXPECT_EQ(file.limit(), sparse.size());

    // A chunk just short of 4 GiB, then one at exactly 4 GiB.
    const std::uint64_t most = big - 64;
    Sparse edge(big, last);
    edge.head = wave64Guid("riff") + le64(big + last.size()) + wave64Guid("wave") + wave64Guid("data") + le64(24 + most);
    std::istream edgeStream(&edge);
    RIFF::File edgeFile(edgeStream, RIFF::Convention::Published);
    ASSERT_EQ(edgeFile.count(), 2);
    EXPECT_EQ(edgeFile[0].length(), most);
    EXPECT_EQ(edgeFile[1].offset64(), big);
    EXPECT_EQ(thrownMessage<std::invalid_argument>([&] { edgeFile[1].offset(); }), "Chunk offset past 4 GiB!");
}

// identify() names each member and the convention to read it in, and leaves the
// stream as it found it.
TEST(RiffFamily, IdentifiesWhatAStreamIs) {
    using RIFF::Convention;
    using RIFF::Family;
    const std::string own = riff("OSTR", chunk("NAME", "abc"));
    const std::string wav = publishedRiff("WAVE", publishedChunk("fmt ", "abc") + publishedChunk("data", ""));
    // A published file whose writer counted 4 bytes too few: its length fits
    // Tav's, its chunks tile only the published way.
    std::string short4 = wav;
    short4.replace(4, 4, le32(wav.size() - 12));
    // A list whose length fits both: Tav's convention reads it.
    const std::string both = riff("TEST", "");
    // A stray byte after an even chunk: neither convention's chunks cover it.
    const std::string stray = riff("TEST", chunk("abcd", "12") + "x");
    const struct {
        const char* what;
        std::string bytes;
        Family family;
        Convention convention;
    } cases[] = {
        {"Tav's own", own, Family::RIFF, Convention::Tav},
        {"an empty Tav form", both, Family::RIFF, Convention::Tav},
        {"a stray byte that no chunk covers", stray, Family::RIFF, Convention::Tav},
        {"a WAV", wav, Family::RIFF, Convention::Published},
        {"a WAV counted short", short4, Family::RIFF, Convention::Published},
        {"a WAV with a tag after it", wav + "TAG", Family::RIFF, Convention::Published},
        {"RIFX", "RIFX" + be32(4) + "WAVE", Family::RIFX, Convention::Published},
        {"RF64", rf64("RF64", "WAVE" + ds64(40, 0)), Family::RF64, Convention::Published},
        {"BW64", rf64("BW64", "WAVE" + ds64(40, 0)), Family::BW64, Convention::Published},
        {"Wave64", wave64("wave", wave64Chunk("data", "a")), Family::Wave64, Convention::Published},
    };
    for (const auto& c : cases) {
        std::istringstream data(c.bytes);
        data.seekg(0, std::ios::end);
        data.seekg(0);
        const RIFF::Kind kind = RIFF::identify(data);
        EXPECT_EQ(kind.family, c.family) << c.what;
        EXPECT_EQ(kind.convention, c.convention) << c.what;
        EXPECT_TRUE(data.good()) << c.what;
        EXPECT_EQ(data.tellg(), std::streampos(0)) << c.what;
        RIFF::File file(data, kind.convention);  // and it reads so
    }
    std::istringstream text("plain text, no RIFF here");
    text.seekg(0, std::ios::end);
    text.seekg(0);
    EXPECT_EQ(thrownMessage<std::invalid_argument>([&] { RIFF::identify(text); }), badSignature);
    EXPECT_TRUE(text.good());
    EXPECT_EQ(text.tellg(), std::streampos(0));
    std::istringstream failed(own);
    failed.setstate(std::ios::failbit);
    EXPECT_EQ(thrownMessage<std::invalid_argument>([&] { RIFF::identify(failed); }),
              "Tav::Format::RIFF::identify: Input stream not good!");
    EXPECT_TRUE(failed.fail());
}

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
using tavtool::chunk;
using tavtool::le32;
using tavtool::riff;

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
    std::uint64_t failFrom;
    char byte = 0;
    std::uint64_t at = 0;
    Sparse(std::uint64_t gap, std::string tail, std::uint64_t failFrom = UINT64_MAX)
        : gap(gap), tail(std::move(tail)), failFrom(failFrom) {}
    std::uint64_t size() const { return gap + tail.size(); }
    int_type underflow() override {
        if (at >= size() || at >= failFrom) return traits_type::eof();
        byte = at < gap ? '\0' : tail[static_cast<std::size_t>(at - gap)];
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
    using tavtool::publishedChunk;
    using tavtool::publishedRiff;
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

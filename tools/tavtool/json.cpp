// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include "json.hpp"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <unordered_set>

#include <tav/format/riff/list.hpp>

#include "progress.hpp"
#include "text.hpp"

namespace tavtool {

namespace {

using Tav::Format::RIFF::List;

constexpr std::size_t blockBytes = 1 << 16;  // the input is read a block at a time
static_assert(blockBytes % 2 == 0, "a string's blocks but its last hold whole pairs of hex digits");

// A JSON pointer as a message shows it: a deep one keeps its ends.
std::string shownPointer(const std::string& where) {
    if (where.empty()) return "/";
    if (where.size() <= 120) return where;
    // Cut at the steps' slashes where there are some (a long key may have none).
    std::size_t head = where.rfind('/', 40), tail = where.find('/', where.size() - 75);
    if (head == 0 || head == std::string::npos) head = 40;
    if (tail == std::string::npos) tail = where.size() - 75;
    return where.substr(0, head) + "/..." + where.substr(tail);
}

}  // namespace

[[noreturn]] void refuse(const std::string& where, const std::string& what) {
    throw PackError(shownPointer(where) + ": " + what);
}

std::string pointerStep(const std::string& key) {
    std::string out = "/";
    for (const char c : key) out += c == '~' ? "~0" : c == '/' ? "~1" : std::string(1, c);
    return out;
}

namespace {

// A JSON reader that streams: the input is read a block at a time, and strings
// longer than `heldBytes` go to a temporary file as they are read.
class Reader {
public:
    explicit Reader(std::istream& in) : in(in) {}

    Description read() {
        Description description;
        description.root = value("", 0);
        space();
        if (peek() != end) syntax("unexpected text after the description");
        description.strings = std::move(strings);
        return description;
    }

private:
    static constexpr int end = -1;
    static constexpr std::size_t heldBytes = 1 << 16, longestNumber = 1000;
    // Each list takes two levels (its object and its children), and no reader
    // accepts more lists than List::maxDepth: deeper JSON is refused as it is
    // read, before its cost grows with the depth.
    static constexpr std::size_t deepest = 2 * (List::maxDepth + 2) + 2;

    std::istream& in;
    std::vector<char> block = std::vector<char>(blockBytes);
    std::size_t pos = 0, filled = 0;
    std::uint64_t consumed = 0, lineStart = 0, line = 1;  // offsets in the input
    std::unique_ptr<TemporaryFile> strings;

    // At least `n` bytes ahead in the block where the input has them.
    void want(std::size_t n) {
        if (filled - pos >= n) return;
        std::memmove(block.data(), block.data() + pos, filled - pos);
        filled -= pos;
        consumed += pos;
        pos = 0;
        while (filled < block.size()) {
            const std::streamsize got =
                in.rdbuf()->sgetn(block.data() + filled, static_cast<std::streamsize>(block.size() - filled));
            if (got <= 0) break;
            filled += static_cast<std::size_t>(got);
            Progress::add(static_cast<std::uint64_t>(got));
            if (filled - pos >= n) break;
        }
    }
    int peek() {
        want(1);
        return pos < filled ? static_cast<unsigned char>(block[pos]) : end;
    }
    std::uint64_t offset() const { return consumed + pos; }

    [[noreturn]] void syntax(const std::string& what) {
        throw PackError("invalid JSON: parse error at line " + std::to_string(line) + ", column " +
                        std::to_string(offset() - lineStart + 1) + ": " + what);
    }

    void expect(char c, const char* what) {
        if (peek() != static_cast<unsigned char>(c))
            syntax(peek() == end ? "unexpected end of input; expected " + std::string(what)
                                 : "expected " + std::string(what));
        ++pos;
    }

    void space() {
        for (int c = peek(); c == ' ' || c == '\t' || c == '\n' || c == '\r'; c = peek()) {
            ++pos;
            if (c == '\n') {
                ++line;
                lineStart = offset();
            }
        }
    }

    JsonValue value(const std::string& where, std::size_t depth) {
        space();
        const int c = peek();
        if (c == '{' || c == '[') {
            if (depth >= deepest) refuse(where, "nested deeper than any description of a file a reader accepts");
            return c == '{' ? object(where, depth) : array(where, depth);
        }
        if (c == '"') return string();
        if (c == '-' || (c >= '0' && c <= '9')) return number();
        for (const char* literal : {"true", "false", "null"}) {
            if (c != literal[0]) continue;
            const std::size_t n = std::strlen(literal);
            want(n);
            if (filled - pos < n || std::memcmp(block.data() + pos, literal, n) != 0) syntax("invalid literal");
            pos += n;
            JsonValue v;
            v.kind = literal[0] == 'n' ? JsonValue::Kind::null : JsonValue::Kind::boolean;
            v.text = literal;
            return v;
        }
        syntax(c == end ? "unexpected end of input; expected a value" : "expected a value");
    }

    JsonValue object(const std::string& where, std::size_t depth) {
        ++pos;
        JsonValue v;
        v.kind = JsonValue::Kind::object;
        std::unordered_set<std::string> keys;
        space();
        if (peek() == '}') {
            ++pos;
            return v;
        }
        for (;;) {
            space();
            if (peek() != '"') syntax(peek() == end ? "unexpected end of input; expected a key" : "expected a key");
            JsonValue key = string();
            if (!key.held)
                refuse(where, "a key longer than " + std::to_string(heldBytes) + " bytes, which no description has");
            const std::string at = where + pointerStep(key.text);
            if (!keys.insert(key.text).second) refuse(at, "a key given twice in one object");
            space();
            expect(':', "':'");
            JsonValue member = value(at, depth + 1);
            v.members.emplace_back(std::move(key.text), std::move(member));
            space();
            if (peek() == '}') {
                ++pos;
                return v;
            }
            expect(',', "',' or '}'");
        }
    }

    JsonValue array(const std::string& where, std::size_t depth) {
        ++pos;
        JsonValue v;
        v.kind = JsonValue::Kind::array;
        space();
        if (peek() == ']') {
            ++pos;
            return v;
        }
        for (;;) {
            v.items.push_back(value(where + "/" + std::to_string(v.items.size()), depth + 1));
            space();
            if (peek() == ']') {
                ++pos;
                return v;
            }
            expect(',', "',' or ']'");
        }
    }

    JsonValue number() {
        JsonValue v;
        v.kind = JsonValue::Kind::number;
        const auto digits = [&] {
            std::size_t n = 0;
            for (int c = peek(); c >= '0' && c <= '9'; c = peek(), ++n) {
                if (v.text.size() >= longestNumber)
                    syntax("a number longer than " + std::to_string(longestNumber) + " characters");
                v.text += static_cast<char>(c);
                ++pos;
            }
            if (n == 0) syntax("expected a digit");
            return n;
        };
        const auto take = [&](char c) {
            if (peek() != static_cast<unsigned char>(c)) return false;
            v.text += c;
            ++pos;
            return true;
        };
        take('-');
        if (!take('0')) digits();
        if (take('.')) digits();
        if (take('e') || take('E')) {
            if (!take('+')) take('-');
            digits();
        }
        return v;
    }

    // The code point of four hex digits after "\u".
    char32_t hex4() {
        want(4);
        char32_t point = 0;
        for (int i = 0; i < 4; ++i, ++pos) {
            const int digit = pos < filled ? hexValue(block[pos]) : -1;
            if (digit < 0) syntax("a \\u escape needs four hex digits");
            point = point << 4 | static_cast<char32_t>(digit);
        }
        return point;
    }

    void escape(std::string& into) {
        ++pos;  // the backslash
        const int c = peek();
        if (c == end) syntax("unexpected end of input in a string");
        ++pos;
        switch (c) {
        case '"': into += '"'; return;
        case '\\': into += '\\'; return;
        case '/': into += '/'; return;
        case 'b': into += '\b'; return;
        case 'f': into += '\f'; return;
        case 'n': into += '\n'; return;
        case 'r': into += '\r'; return;
        case 't': into += '\t'; return;
        case 'u': break;
        default: --pos; syntax("an invalid escape in a string");
        }
        char32_t point = hex4();
        if (point >= 0xDC00 && point <= 0xDFFF) syntax("a low surrogate without a high one before it");
        if (point >= 0xD800 && point <= 0xDBFF) {
            want(2);
            if (filled - pos < 2 || block[pos] != '\\' || block[pos + 1] != 'u')
                syntax("a high surrogate without a low one after it");
            pos += 2;
            const char32_t low = hex4();
            if (low < 0xDC00 || low > 0xDFFF) syntax("a high surrogate without a low one after it");
            point = 0x10000 + ((point - 0xD800) << 10) + (low - 0xDC00);
        }
        appendUtf8(into, point);
    }

    // A string's bytes, checked to be UTF-8; a long one's go to the temporary
    // file as they come.
    JsonValue string() {
        ++pos;  // the opening quote
        JsonValue v;
        v.kind = JsonValue::Kind::string;
        std::string& held = v.text;
        for (;;) {
            if (peek() == end) syntax("unexpected end of input in a string");
            std::size_t plain = pos;
            while (plain < filled && static_cast<unsigned char>(block[plain]) >= 0x20 &&
                   static_cast<unsigned char>(block[plain]) < 0x80 && block[plain] != '"' && block[plain] != '\\')
                ++plain;
            held.append(block.data() + pos, plain - pos);
            pos = plain;
            if (pos < filled) {
                const auto c = static_cast<unsigned char>(block[pos]);
                if (c == '"') {
                    ++pos;
                    break;
                }
                if (c == '\\') {
                    escape(held);
                } else if (c < 0x20) {
                    syntax("a control character in a string must be escaped");
                } else {
                    want(4);  // the rest of a character the block's end cuts
                    const std::size_t n = utf8Length(std::string_view(block.data() + pos, filled - pos), 0);
                    if (n == 0) syntax("a string that is not UTF-8");
                    held.append(block.data() + pos, n);
                    pos += n;
                }
            }
            if (held.size() >= heldBytes) spill(v);
        }
        if (!v.held) {
            spill(v);
            // The buffer that gathered its bytes goes too: a description of
            // thousands of long strings would otherwise keep a block for each.
            std::string().swap(v.text);
        }
        v.size = v.held ? held.size() : v.size;
        return v;
    }

    void spill(JsonValue& v) {
        if (!strings) strings = std::make_unique<TemporaryFile>();
        if (v.held) {
            v.held = false;
            v.at = strings->size();
        }
        strings->append(v.text.data(), v.text.size());
        v.size += v.text.size();
        v.text.clear();
    }
};

}  // namespace

const JsonValue* JsonValue::find(std::string_view key) const {
    for (const auto& [name, value] : members)
        if (name == key) return &value;
    return nullptr;
}

void Description::blocks(const JsonValue& s, const std::function<void(std::string_view)>& use) const {
    if (s.held) {
        use(s.text);
        return;
    }
    std::string block;
    for (std::uint64_t done = 0; done < s.size;) {
        block.resize(static_cast<std::size_t>(std::min<std::uint64_t>(blockBytes, s.size - done)));
        strings->read(s.at + done, block.data(), block.size());
        use(block);
        done += block.size();
    }
}

Description parseDescription(std::istream& in) { return Reader(in).read(); }

}  // namespace tavtool

// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include "riff_json.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <unordered_set>

#include <tav/format/riff/file.hpp>

#include "riff_writer.hpp"
#include "text.hpp"

namespace tavtool {

namespace {

using Tav::Format::FourCC;
using Tav::Format::RIFF::Chunk;
using Tav::Format::RIFF::Convention;
using Tav::Format::RIFF::File;
using Tav::Format::RIFF::List;

constexpr char hexDigits[] = "0123456789abcdef";
constexpr std::uint64_t largest = 0xFFFFFFFFu;  // offsets and lengths are 32-bit
constexpr std::size_t blockBytes = 1 << 16;     // data is read and written a block at a time

void appendHex(std::string& out, std::string_view bytes) {
    const std::size_t at = out.size();
    out.resize(at + 2 * bytes.size());
    char* to = &out[at];
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        *to++ = hexDigits[c >> 4];
        *to++ = hexDigits[c & 15];
    }
}

std::string hex(std::string_view bytes) {
    std::string out;
    appendHex(out, bytes);
    return out;
}

// A code as its four characters where all are printable ASCII; otherwise "0x"
// and the hex digits of its bytes in file order (ten characters, so the two
// forms cannot be confused).
std::string code(const FourCC& c) {
    for (const char ch : c.chars)
        if (ch < 0x20 || ch > 0x7E) return "0x" + hex(std::string_view(c.chars, 4));
    return std::string(c.chars, 4);
}

// Bytes a reader can read as text: valid UTF-8 whose only control characters
// are tab, line feed, carriage return and zero (texts of a locale file are
// zero-terminated, one after another).
bool isText(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = utf8Length(s, i);
        if (n == 0 || (c < 0x20 && c != 0 && c != '\t' && c != '\n' && c != '\r')) return false;
        i += n;
    }
    return true;
}

// Text as the inside of a JSON string.
void appendEscaped(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        std::size_t plain = i;
        while (plain < text.size() && static_cast<unsigned char>(text[plain]) >= 0x20 && text[plain] != '"' &&
               text[plain] != '\\')
            ++plain;
        out.append(text.substr(i, plain - i));
        if (plain == text.size()) break;
        const auto c = static_cast<unsigned char>(text[plain]);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default:
            out += "\\u00";
            out += hexDigits[c >> 4];
            out += hexDigits[c & 15];
        }
        i = plain + 1;
    }
}

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    appendEscaped(out, text);
    return out + '"';
}

// ---- unpack -------------------------------------------------------------

// How a file being described is laid out: in the published convention list
// lengths count the list type, and a pad byte follows each odd chunk.
struct Layout {
    std::istream& in;
    File& file;
    bool published;
    std::uint64_t size;  // the stream's: a cut file's last chunk ends past it

    // `n` bytes from offset `at`, which the stream holds.
    void read(std::uint64_t at, std::size_t n, std::string& into) const {
        into.resize(n);
        in.clear();
        in.seekg(static_cast<std::streamoff>(at));
        if (!in.read(into.data(), static_cast<std::streamsize>(n)))
            throw std::runtime_error("cannot read bytes " + std::to_string(at) + " to " + std::to_string(at + n - 1));
    }

    // The bytes from `at` on, `count` of them, a block at a time; each block but
    // the last ends before any UTF-8 character its end would cut. `use` returns
    // false to stop.
    void blocks(std::uint64_t at, std::uint64_t count, const std::function<bool(std::string_view)>& use) const {
        std::string block;
        for (std::uint64_t done = 0; done < count;) {
            read(at + done, static_cast<std::size_t>(std::min<std::uint64_t>(blockBytes, count - done)), block);
            const bool last = done + block.size() == count;
            const std::string_view whole = std::string_view(block).substr(0, last ? block.size() : wholeCharacters(block));
            if (!use(whole)) return;
            done += whole.size();
        }
    }
};

// A value unpack writes: JSON text, bytes of the file shown as a JSON string or
// as hex, or the children of a list.
struct Shown {
    enum class As { json, text, hex, children };
    As as = As::json;
    std::string json;
    std::uint64_t at = 0, size = 0;
};

// A chunk as unpack describes it: its fields in order.
struct Described {
    std::vector<std::pair<std::string, Shown>> fields;
    std::vector<Described> children;

    void add(std::string key, std::string json) { fields.push_back({std::move(key), {Shown::As::json, std::move(json)}}); }
    void add(std::string key, Shown::As as, std::uint64_t at, std::uint64_t size) {
        fields.push_back({std::move(key), {as, {}, at, size}});
    }
    const Shown* find(std::string_view key) const {
        for (const auto& [name, value] : fields)
            if (name == key) return &value;
        return nullptr;
    }
};

// What a chunk's data is made of: where its first zero byte is, and whether
// the bytes before it and after it are text. Reading stops where the answer
// cannot change (binary data mostly shows it in its first block).
struct Scan {
    static constexpr std::uint64_t none = ~std::uint64_t{0};
    std::uint64_t zero = none;
    bool head = true, tail = true;
};

Scan scan(const Layout& layout, std::uint64_t at, std::uint64_t count) {
    Scan s;
    std::uint64_t done = 0;
    layout.blocks(at, count, [&](std::string_view block) {
        if (s.zero == Scan::none) {
            const std::size_t zero = block.find('\0');
            s.head = isText(block.substr(0, zero));
            if (zero != std::string_view::npos) {
                s.zero = done + zero;
                s.tail = isText(block.substr(zero + 1));
            }
        } else {
            s.tail = isText(block);
        }
        done += block.size();
        return s.head && s.tail;
    });
    return s;
}

// A data chunk: its data split at the first zero byte into a name and a payload
// where the part before it is text, as container nodes hold them. A chunk cut
// off by the end of the file keeps its declared length beside the data it has.
Described describeData(Chunk& chunk, const Layout& layout) {
    Described out;
    out.add("id", jsonString(code(chunk.type())));
    const std::uint32_t n = chunk.length();
    const std::uint64_t start = std::uint64_t{chunk.offset()} + 8;
    const std::uint64_t held = start >= layout.size ? 0 : std::min<std::uint64_t>(n, layout.size - start);
    const Scan s = scan(layout, start, held);
    const auto as = [](bool text) { return text ? Shown::As::text : Shown::As::hex; };
    if (s.zero != Scan::none && s.head) {
        out.add("name", Shown::As::text, start, s.zero);
        out.add(s.tail ? "text" : "hex", as(s.tail), start + s.zero + 1, held - s.zero - 1);
    } else {
        const bool text = s.head && s.tail;
        out.add(text ? "text" : "hex", as(text), start, held);
    }
    if (held != n) out.add("length", std::to_string(n));
    return out;
}

// The pad byte after an odd chunk of a published file: recorded on the chunk
// where it is not zero, and as "" where none was written: the next chunk, the
// list's end or the file's end comes first.
void describePad(Described& described, std::uint64_t& cursor, std::uint64_t next, const Layout& layout) {
    if (cursor == next || cursor >= layout.size) {
        described.add("pad", "\"\"");
        return;
    }
    std::string pad;
    layout.read(cursor, 1, pad);
    if (pad[0] != 0) described.add("pad", jsonString(hex(pad)));
    ++cursor;
}

// The children of a list, which must cover its data up to `end` exactly (a cut
// list: up to the stream's end): a child reaching past the list's end, or bytes
// that no child covers, would pack to other bytes.
std::vector<Described> describeChildren(List& list, const Layout& layout, std::uint64_t end) {
    std::vector<Described> children;
    std::uint64_t cursor = std::uint64_t{list.offset()} + 12;
    const std::int32_t count = list.count();
    for (std::int32_t i = 0; i < count; ++i) {
        Chunk& child = list[static_cast<std::uint32_t>(i)];
        const bool isList = List::is(child);
        const std::uint32_t n = child.length();
        const std::uint64_t declared = cursor + n + (isList && !layout.published ? 12 : 8);
        // A chunk may run past the end of a cut file, never past its list.
        const std::uint64_t childEnd = std::min(declared, layout.size);
        if (childEnd > end)
            throw std::runtime_error("the chunk at offset " + std::to_string(child.offset()) +
                                     " reaches past the list that holds it, which ends at " + std::to_string(end));
        children.push_back(isList ? Described() : describeData(child, layout));
        Described& described = children.back();
        if (isList) {
            List& sublist = static_cast<List&>(child);
            described.add("list", jsonString(code(sublist.type())));
            std::vector<Described> grandchildren = describeChildren(sublist, layout, childEnd);
            // A container list's name stands in its first child, of id "OSTR": shown
            // as the list's name where that child holds exactly a name and its zero.
            if (!grandchildren.empty()) {
                const Described& first = grandchildren.front();
                const Shown *id = first.find("id"), *name = first.find("name"), *text = first.find("text");
                if (id && id->json == "\"OSTR\"" && name && text && text->size == 0 && !first.find("pad") &&
                    !first.find("length")) {
                    described.fields.push_back({"name", *name});
                    grandchildren.erase(grandchildren.begin());
                }
            }
            if (declared != childEnd) described.add("length", std::to_string(n));  // cut short
            described.add("children", Shown::As::children, 0, 0);
            described.children = std::move(grandchildren);
        }
        cursor = childEnd;
        const std::uint64_t next = i + 1 < count ? list[static_cast<std::uint32_t>(i + 1)].offset() : end;
        if (layout.published && n % 2) describePad(described, cursor, next, layout);
    }
    if (cursor != end)
        throw std::runtime_error("bytes " + std::to_string(cursor) + " to " + std::to_string(end - 1) +
                                 " of the list at offset " + std::to_string(list.offset()) + " belong to no chunk");
    return children;
}

// Writes a description: a chunk's fields on one line, its children one per
// line below, the file's bytes read as each is written.
struct Printer {
    const Layout& layout;
    std::ostream& out;

    void print(const Described& chunk, std::size_t indent) {
        out << '{';
        const char* separator = "";
        for (const auto& [key, value] : chunk.fields) {
            out << separator << '"' << key << "\": ";
            separator = ", ";
            if (value.as == Shown::As::json) {
                out << value.json;
            } else if (value.as == Shown::As::children) {
                children(chunk.children, indent);
            } else {
                std::string shown;
                out << '"';
                layout.blocks(value.at, value.size, [&](std::string_view block) {
                    shown.clear();
                    if (value.as == Shown::As::hex)
                        appendHex(shown, block);
                    else
                        appendEscaped(shown, block);
                    out.write(shown.data(), static_cast<std::streamsize>(shown.size()));
                    return true;
                });
                out << '"';
            }
        }
        out << '}';
    }

    void children(const std::vector<Described>& list, std::size_t indent) {
        out << '[';
        const std::string inner(indent + 2, ' ');
        for (std::size_t i = 0; i < list.size(); ++i) {
            out << (i ? ",\n" : "\n") << inner;
            print(list[i], indent + 2);
        }
        if (!list.empty()) out << '\n' << std::string(indent, ' ');
        out << ']';
    }
};

// ---- reading a description -------------------------------------------------

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

[[noreturn]] void refuse(const std::string& where, const std::string& what) {
    throw PackError(shownPointer(where) + ": " + what);
}

std::string pointerStep(const std::string& key) {
    std::string out = "/";
    for (const char c : key) out += c == '~' ? "~0" : c == '/' ? "~1" : std::string(1, c);
    return out;
}

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
            const std::streamsize got = in.rdbuf()->sgetn(block.data() + filled, static_cast<std::streamsize>(block.size() - filled));
            if (got <= 0) break;
            filled += static_cast<std::size_t>(got);
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
        if (peek() != static_cast<unsigned char>(c)) syntax(peek() == end ? "unexpected end of input; expected " + std::string(what) : "expected " + std::string(what));
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
            if (!key.held) refuse(where, "a key longer than " + std::to_string(heldBytes) + " bytes, which no description has");
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
                if (v.text.size() >= longestNumber) syntax("a number longer than " + std::to_string(longestNumber) + " characters");
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
            const char c = pos < filled ? block[pos] : '\0';
            const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
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
            if (filled - pos < 2 || block[pos] != '\\' || block[pos + 1] != 'u') syntax("a high surrogate without a low one after it");
            pos += 2;
            const char32_t low = hex4();
            if (low < 0xDC00 || low > 0xDFFF) syntax("a high surrogate without a low one after it");
            point = 0x10000 + ((point - 0xD800) << 10) + (low - 0xDC00);
        }
        if (point < 0x80) {
            into += static_cast<char>(point);
        } else if (point < 0x800) {
            into += static_cast<char>(0xC0 | point >> 6);
            into += static_cast<char>(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            into += static_cast<char>(0xE0 | point >> 12);
            into += static_cast<char>(0x80 | (point >> 6 & 0x3F));
            into += static_cast<char>(0x80 | (point & 0x3F));
        } else {
            into += static_cast<char>(0xF0 | point >> 18);
            into += static_cast<char>(0x80 | (point >> 12 & 0x3F));
            into += static_cast<char>(0x80 | (point >> 6 & 0x3F));
            into += static_cast<char>(0x80 | (point & 0x3F));
        }
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
        if (!v.held) spill(v);
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

// ---- packing ------------------------------------------------------------

// The bytes of a string of the description, a block at a time.
void stringBlocks(const Description& d, const JsonValue& s, const std::function<void(std::string_view)>& use) {
    if (s.held) {
        use(s.text);
        return;
    }
    std::string block;
    for (std::uint64_t done = 0; done < s.size;) {
        block.resize(static_cast<std::size_t>(std::min<std::uint64_t>(blockBytes, s.size - done)));
        d.strings->read(s.at + done, block.data(), block.size());
        use(block);
        done += block.size();
    }
}

// Each byte's value as a hex digit, or -1: data of gigabytes goes through here.
constexpr auto nibbles = [] {
    std::array<signed char, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[c] = static_cast<signed char>(c >= '0' && c <= '9'   ? c - '0'
                                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                               : -1);
    return t;
}();

int nibble(char c) { return nibbles[static_cast<unsigned char>(c)]; }

}  // namespace

const JsonValue* JsonValue::find(std::string_view key) const {
    for (const auto& [name, value] : members)
        if (name == key) return &value;
    return nullptr;
}

// Plans the bytes of a description, checking each part as it goes.
class Packer {
public:
    explicit Packer(Packed& packed) : packed(packed), description(packed.description) {}

    std::size_t literal(std::string bytes) {
        packed.bytes += bytes.size();
        packed.pieces.push_back({std::move(bytes)});
        return packed.pieces.size() - 1;
    }
    std::uint64_t offset() const { return packed.bytes; }
    void setLength(std::size_t header, std::uint64_t length) { packed.pieces[header].bytes.replace(4, 4, le32(length)); }

    void onlyFields(const JsonValue& object, std::initializer_list<std::string_view> known, const std::string& where) {
        for (const auto& member : object.members)
            if (std::find(known.begin(), known.end(), member.first) == known.end())
                refuse(where + pointerStep(member.first), "unknown field");
    }

    const JsonValue& field(const JsonValue& object, const char* name, const std::string& where) {
        const JsonValue* found = object.find(name);
        if (!found) refuse(where, std::string("\"") + name + "\" is missing");
        return *found;
    }

    const JsonValue& string(const JsonValue& value, const std::string& where) {
        if (value.kind != JsonValue::Kind::string) refuse(where, "must be a string");
        return value;
    }

    // A short string's bytes: a long one is not what `what` wants.
    std::string shortText(const JsonValue& value, const std::string& where, const char* what) {
        if (!string(value, where).held) refuse(where, what);
        return value.text;
    }

    // Checks hex digits; the number of bytes they stand for.
    std::uint64_t hexBytes(const JsonValue& value, const std::string& where) {
        string(value, where);
        if (value.size % 2) refuse(where, "hex data needs an even number of digits");
        std::uint64_t index = 0;
        stringBlocks(description, value, [&](std::string_view digits) {
            int all = 0;
            for (const char c : digits) all |= nibble(c);
            if (all < 0) {
                const auto bad = std::find_if(digits.begin(), digits.end(), [](char c) { return nibble(c) < 0; });
                refuse(where, "not a hex digit at character " + std::to_string(index + (bad - digits.begin())));
            }
            index += digits.size();
        });
        return value.size / 2;
    }

    std::string bytesOfHex(const std::string& digits, const std::string& where) {
        JsonValue value;
        value.kind = JsonValue::Kind::string;
        value.text = digits;
        value.size = digits.size();
        hexBytes(value, where);
        std::string bytes;
        for (std::size_t i = 0; i < digits.size(); i += 2)
            bytes += static_cast<char>(nibble(digits[i]) << 4 | nibble(digits[i + 1]));
        return bytes;
    }

    std::string codeOf(const JsonValue& value, const std::string& where) {
        const char* what = "a code is four printable ASCII characters, or 0x and eight hex digits";
        const std::string s = shortText(value, where, what);
        bool printable = s.size() == 4;
        for (const char c : s) printable = printable && c >= 0x20 && c <= 0x7E;
        if (printable) return s;
        if (s.size() == 10 && s.compare(0, 2, "0x") == 0) return bytesOfHex(s.substr(2), where);
        refuse(where, what);
    }

    // A name's bytes and the zero that ends them; their number.
    std::uint64_t name(const JsonValue& chunk, const std::string& where) {
        const JsonValue& value = string(field(chunk, "name", where), where + "/name");
        stringBlocks(description, value, [&](std::string_view bytes) {
            if (bytes.find('\0') != std::string_view::npos) refuse(where + "/name", "a name ends at its first zero byte");
        });
        data(value, false);
        literal(std::string(1, '\0'));
        return value.size + 1;
    }

    void data(const JsonValue& value, bool hex) {
        packed.bytes += hex ? value.size / 2 : value.size;
        packed.pieces.push_back({{}, &value, hex});
    }

    void fits(std::uint64_t bytes, const std::string& where) {
        if (bytes > largest) refuse(where, "larger than 4 GiB");
    }

    // A "length" given in a description (a cut chunk's, a writer's placeholder)
    // replaces the one the bytes give in the header; returns the length.
    std::uint64_t declaredLength(std::size_t header, std::uint64_t natural, const JsonValue& chunk, const std::string& where) {
        const JsonValue* length = chunk.find("length");
        if (!length) return natural;
        const std::string& digits = length->text;
        const bool whole = length->kind == JsonValue::Kind::number && !digits.empty() && digits.size() <= 10 &&
                           digits.find_first_not_of("0123456789") == std::string::npos;
        if (!whole || std::stoull(digits) > largest) refuse(where + "/length", "a length is a whole number from 0 to 4294967295");
        setLength(header, std::stoull(digits));
        return std::stoull(digits);
    }

    // A chunk, with the pad byte a published odd chunk takes: zero, the
    // description's "pad", or none for "pad": "" (where the list ends first).
    void chunk(const JsonValue& chunk, const std::string& where, unsigned depth, bool last) {
        if (chunk.kind != JsonValue::Kind::object) refuse(where, "a chunk must be an object");
        const std::uint64_t start = offset();
        std::size_t header;
        const bool isList = chunk.find("list") != nullptr;
        if (isList) {
            onlyFields(chunk, {"list", "name", "length", "children", "pad"}, where);
            if (depth > List::maxDepth)
                refuse(where, "lists nested deeper than " + std::to_string(List::maxDepth) + ", which no reader accepts");
            header = literal("LIST" + le32(0) + codeOf(*chunk.find("list"), where + "/list"));
            if (chunk.find("name")) {
                const std::size_t nameHeader = literal("OSTR" + le32(0));
                const std::uint64_t n = name(chunk, where);
                setLength(nameHeader, n);
                if (published && n % 2) literal(std::string(1, '\0'));
            }
            children(field(chunk, "children", where), where + "/children", depth + 1);
            const std::uint64_t body = offset() - start - 12;
            fits(body + 12, where);
            setLength(header, published ? body + 4 : body);
        } else {
            onlyFields(chunk, {"id", "name", "text", "hex", "length", "pad"}, where);
            const std::string id = codeOf(field(chunk, "id", where), where + "/id");
            if (id == "LIST") refuse(where + "/id", "a LIST chunk is written as a list: {\"list\": TYPE, \"children\": [...]}");
            const JsonValue *text = chunk.find("text"), *hex = chunk.find("hex");
            if (!text == !hex) refuse(where, "a data chunk has one of \"text\" and \"hex\"");
            header = literal(id + le32(0));
            if (chunk.find("name")) name(chunk, where);
            if (text) {
                data(string(*text, where + "/text"), false);
            } else {
                hexBytes(*hex, where + "/hex");
                data(*hex, true);
            }
            fits(offset() - start, where);
            setLength(header, offset() - start - 8);
        }
        const bool odd = declaredLength(header, offset() - start - 8, chunk, where) % 2 == 1;
        const JsonValue* pad = chunk.find("pad");
        if (!pad) {
            if (odd && published) literal(std::string(1, '\0'));
            return;
        }
        if (!published || !odd) refuse(where + "/pad", "a pad byte follows only an odd chunk of a published-convention file");
        const std::string bytes = bytesOfHex(shortText(*pad, where + "/pad", "a pad is one byte"), where + "/pad");
        if (bytes.size() > 1) refuse(where + "/pad", "a pad is one byte");
        if (bytes.empty() && !last && !isList)
            refuse(where + "/pad", "only the last chunk of a list, or an odd list, can lack its pad byte");
        literal(bytes);
    }

    void children(const JsonValue& list, const std::string& where, unsigned depth) {
        if (list.kind != JsonValue::Kind::array) refuse(where, "must be an array");
        const std::uint64_t start = offset();
        for (std::size_t i = 0; i < list.items.size(); ++i) {
            chunk(list.items[i], where + "/" + std::to_string(i), depth, i + 1 == list.items.size());
            fits(offset() - start, where);
        }
    }

    void file(const JsonValue& root) {
        if (root.kind != JsonValue::Kind::object) refuse("", "the description must be an object");
        onlyFields(root, {"form", "convention", "length", "children", "after"}, "");
        const std::string form = codeOf(field(root, "form", ""), "/form");
        if (const JsonValue* convention = root.find("convention")) {
            const char* what = "is \"tav\" or \"published\"";
            const std::string name = shortText(*convention, "/convention", what);
            if (name != "tav" && name != "published") refuse("/convention", what);
            published = name == "published";
        }
        const std::size_t header = literal("RIFF" + le32(0) + form);
        children(field(root, "children", ""), "/children", 1);
        const std::uint64_t body = offset() - 12;
        fits(body + 12, "");
        setLength(header, published ? body + 4 : body);
        declaredLength(header, 0, root, "");
        if (const JsonValue* after = root.find("after")) {
            if (!published) refuse("/after", "only a published-convention file has bytes after its form");
            hexBytes(*after, "/after");
            data(*after, true);
        }
    }

private:
    Packed& packed;
    const Description& description;
    bool published = false;
};

Packed::Packed(const Description& description) : description(description) { Packer(*this).file(description.root); }

void Packed::write(std::ostream& out) const {
    std::string bytes;
    for (const Piece& piece : pieces) {
        if (!piece.string) {
            out.write(piece.bytes.data(), static_cast<std::streamsize>(piece.bytes.size()));
            continue;
        }
        // Hex digits in pairs; a block may end between the two of a pair.
        int high = -1;
        stringBlocks(description, *piece.string, [&](std::string_view block) {
            if (!piece.hex) {
                out.write(block.data(), static_cast<std::streamsize>(block.size()));
                return;
            }
            bytes.resize(block.size() / 2 + 1);
            char* to = bytes.data();
            std::size_t i = 0;
            if (high >= 0 && !block.empty()) {
                *to++ = static_cast<char>(high << 4 | nibble(block[0]));
                high = -1;
                i = 1;
            }
            for (; i + 1 < block.size(); i += 2) *to++ = static_cast<char>(nibble(block[i]) << 4 | nibble(block[i + 1]));
            if (i < block.size()) high = nibble(block[i]);
            out.write(bytes.data(), to - bytes.data());
        });
    }
}

Description parseDescription(std::istream& in) { return Reader(in).read(); }

void unpack(std::istream& in, Convention convention, std::ostream& out) {
    File file(in, convention);
    in.clear();
    in.seekg(0, std::ios::end);
    const Layout layout{in, file, convention == Convention::Published, static_cast<std::uint64_t>(in.tellg())};
    Chunk& riff = file;
    const std::uint32_t length = riff.length();
    // The form ends where its length says, or where the stream does (a cut file),
    // or, where a writer counted too few bytes, where its last chunk does.
    std::uint64_t end = std::min<std::uint64_t>(std::uint64_t{length} + (layout.published ? 8 : 12), layout.size);
    if (const std::int32_t count = file.count(); layout.published && count > 0) {
        Chunk& last = file[static_cast<std::uint32_t>(count - 1)];
        const std::uint32_t n = last.length();
        end = std::max(end, std::min<std::uint64_t>(std::uint64_t{last.offset()} + 8 + n + (n & 1), layout.size));
    }
    Described top;
    top.add("form", jsonString(code(file.type())));
    if (layout.published) top.add("convention", "\"published\"");
    // The RIFF length where it is not the one the chunks give: pack writes it back.
    if (length != end - (layout.published ? 8 : 12)) top.add("length", std::to_string(length));
    top.children = describeChildren(file, layout, end);
    top.add("children", Shown::As::children, 0, 0);
    // Bytes after a published form: not part of it, but kept.
    if (end < layout.size) top.add("after", Shown::As::hex, end, layout.size - end);
    Printer{layout, out}.print(top, 0);
    out << '\n';
}

}  // namespace tavtool

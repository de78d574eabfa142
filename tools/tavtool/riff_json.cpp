// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include "riff_json.hpp"

#include <cstdint>
#include <initializer_list>
#include <set>
#include <sstream>
#include <string_view>
#include <vector>

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

std::string hex(std::string_view bytes) {
    std::string out;
    out.reserve(2 * bytes.size());
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        out += hexDigits[c >> 4];
        out += hexDigits[c & 15];
    }
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

void putData(Json& out, std::string_view data) {
    if (isText(data))
        out["text"] = std::string(data);
    else
        out["hex"] = hex(data);
}

// How a file being described is laid out: in the published convention list
// lengths count the list type, and a pad byte follows each odd chunk.
struct Layout {
    File& file;
    bool published;
    std::uint64_t size;  // the stream's: a cut file's last chunk ends past it
};

// A chunk's data as far as the stream holds it.
std::string dataOf(Chunk& chunk, const Layout& layout) {
    const std::uint32_t n = chunk.length();
    const std::uint64_t start = std::uint64_t{chunk.offset()} + 8;
    const std::uint64_t held = start >= layout.size ? 0 : std::min<std::uint64_t>(n, layout.size - start);
    std::string data(static_cast<std::size_t>(held), '\0');
    if (held == n && n) {
        data.assign(chunk.open(), n);
        chunk.close();
    } else if (held) {
        layout.file.read(static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(held), data.data());
    }
    return data;
}

// A data chunk: its data split at the first zero byte into a name and a payload
// where the part before it is text, as container nodes hold them. A chunk cut
// off by the end of the file keeps its declared length beside the data it has.
Json describeData(Chunk& chunk, const Layout& layout) {
    Json out;
    out["id"] = code(chunk.type());
    const std::string data = dataOf(chunk, layout);
    const std::size_t zero = data.find('\0');
    if (zero != std::string::npos && isText(std::string_view(data).substr(0, zero))) {
        out["name"] = data.substr(0, zero);
        putData(out, std::string_view(data).substr(zero + 1));
    } else {
        putData(out, data);
    }
    if (data.size() != chunk.length()) out["length"] = chunk.length();
    return out;
}

// The pad byte after an odd chunk of a published file: recorded on the chunk
// where it is not zero, and as "" where none was written: the next chunk, the
// list's end or the file's end comes first.
void describePad(Json& described, std::uint64_t& cursor, std::uint64_t next, const Layout& layout) {
    if (cursor == next || cursor >= layout.size) {
        described["pad"] = "";
        return;
    }
    char pad = 0;
    layout.file.read(static_cast<std::uint32_t>(cursor), 1, &pad);
    if (pad != 0) described["pad"] = hex(std::string_view(&pad, 1));
    ++cursor;
}

// The children of a list, which must cover its data up to `end` exactly (a cut
// list: up to the stream's end): a child reaching past the list's end, or bytes
// that no child covers, would pack to other bytes.
Json describeChildren(List& list, const Layout& layout, std::uint64_t end) {
    Json children = Json::array();
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
        children.push_back(isList ? Json() : describeData(child, layout));
        Json& described = children.back();
        if (isList) {
            List& sublist = static_cast<List&>(child);
            described["list"] = code(sublist.type());
            Json grandchildren = describeChildren(sublist, layout, childEnd);
            // A container list's name stands in its first child, of id "OSTR": shown
            // as the list's name where that child holds exactly a name and its zero.
            if (!grandchildren.empty()) {
                const Json& first = grandchildren.front();
                if (first.value("id", "") == "OSTR" && first.contains("name") && first.value("text", "-").empty() &&
                    !first.contains("pad") && !first.contains("length")) {
                    described["name"] = first["name"];
                    grandchildren.erase(grandchildren.begin());
                }
            }
            if (declared != childEnd) described["length"] = n;  // cut short
            described["children"] = std::move(grandchildren);
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

void onlyFields(const Json& object, std::initializer_list<std::string_view> known, const std::string& where) {
    for (const auto& item : object.items()) {
        bool found = false;
        for (std::string_view name : known) found = found || item.key() == name;
        if (!found) refuse(where + "/" + item.key(), "unknown field");
    }
}

const Json& field(const Json& object, const char* name, const std::string& where) {
    if (!object.contains(name)) refuse(where, std::string("\"") + name + "\" is missing");
    return object[name];
}

const std::string& text(const Json& value, const std::string& where) {
    if (!value.is_string()) refuse(where, "must be a string");
    return value.get_ref<const std::string&>();
}

std::string bytesOfHex(const Json& value, const std::string& where) {
    const std::string& digits = text(value, where);
    const auto nibble = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    if (digits.size() % 2) refuse(where, "hex data needs an even number of digits");
    std::string bytes;
    bytes.reserve(digits.size() / 2);
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const int high = nibble(digits[i]), low = nibble(digits[i + 1]);
        if (high < 0 || low < 0) refuse(where, "not a hex digit at character " + std::to_string(high < 0 ? i : i + 1));
        bytes += static_cast<char>(high << 4 | low);
    }
    return bytes;
}

std::string codeOf(const Json& value, const std::string& where) {
    const std::string& s = text(value, where);
    bool printable = s.size() == 4;
    for (const char c : s) printable = printable && c >= 0x20 && c <= 0x7E;
    if (printable) return s;
    if (s.size() == 10 && s.compare(0, 2, "0x") == 0) return bytesOfHex(s.substr(2), where);
    refuse(where, "a code is four printable ASCII characters, or 0x and eight hex digits");
}

std::string nameOf(const Json& chunk, const std::string& where) {
    if (!chunk.contains("name")) return {};
    const std::string& name = text(chunk["name"], where + "/name");
    if (name.find('\0') != std::string::npos) refuse(where + "/name", "a name ends at its first zero byte");
    return name + '\0';
}

void fits(std::uint64_t bytes, const std::string& where) {
    if (bytes > largest) refuse(where, "larger than 4 GiB");
}

std::string packChildren(const Json& children, const std::string& where, unsigned depth, bool published);

// A "length" given in a description (a cut chunk's, a writer's placeholder)
// replaces the one the bytes give in the header of `bytes`; returns it.
std::uint64_t declaredLength(std::string& bytes, const Json& chunk, const std::string& where) {
    if (!chunk.contains("length")) return bytes.size() - 8;
    const Json& length = chunk["length"];
    if (!length.is_number_unsigned() || length.get<std::uint64_t>() > largest)
        refuse(where + "/length", "a length is a whole number from 0 to 4294967295");
    bytes.replace(4, 4, le32(length.get<std::uint32_t>()));
    return length.get<std::uint64_t>();
}

// A chunk's bytes, with the pad byte a published odd chunk takes: zero, the
// description's "pad", or none for "pad": "" (where the list ends first).
std::string packChunk(const Json& chunk, const std::string& where, unsigned depth, bool published, bool last) {
    if (!chunk.is_object()) refuse(where, "a chunk must be an object");
    std::string bytes;
    if (chunk.contains("list")) {
        onlyFields(chunk, {"list", "name", "length", "children", "pad"}, where);
        if (depth > List::maxDepth)
            refuse(where, "lists nested deeper than " + std::to_string(List::maxDepth) + ", which no reader accepts");
        const std::string type = codeOf(chunk["list"], where + "/list");
        std::string body;
        if (chunk.contains("name")) {
            const std::string name = nameOf(chunk, where);
            body = published ? publishedChunk("OSTR", name) : tavtool::chunk("OSTR", name);
        }
        body += packChildren(field(chunk, "children", where), where + "/children", depth + 1, published);
        fits(body.size() + 12, where);
        bytes = published ? tavtool::chunk("LIST", fourcc(type) + body) : list(type, body);
    } else {
        onlyFields(chunk, {"id", "name", "text", "hex", "length", "pad"}, where);
        const std::string id = codeOf(field(chunk, "id", where), where + "/id");
        if (id == "LIST") refuse(where + "/id", "a LIST chunk is written as a list: {\"list\": TYPE, \"children\": [...]}");
        if (chunk.contains("text") == chunk.contains("hex")) refuse(where, "a data chunk has one of \"text\" and \"hex\"");
        std::string data = nameOf(chunk, where);
        data += chunk.contains("text") ? text(chunk["text"], where + "/text") : bytesOfHex(chunk["hex"], where + "/hex");
        fits(data.size() + 8, where);
        bytes = tavtool::chunk(id, data);
    }
    const bool odd = declaredLength(bytes, chunk, where) % 2 == 1;
    if (!chunk.contains("pad")) return odd && published ? bytes + '\0' : bytes;
    if (!published || !odd) refuse(where + "/pad", "a pad byte follows only an odd chunk of a published-convention file");
    const std::string pad = bytesOfHex(chunk["pad"], where + "/pad");
    if (pad.size() > 1) refuse(where + "/pad", "a pad is one byte");
    if (pad.empty() && !last && !chunk.contains("list"))
        refuse(where + "/pad", "only the last chunk of a list, or an odd list, can lack its pad byte");
    return bytes + pad;
}

std::string packChildren(const Json& children, const std::string& where, unsigned depth, bool published) {
    if (!children.is_array()) refuse(where, "must be an array");
    std::string bytes;
    for (std::size_t i = 0; i < children.size(); ++i) {
        bytes += packChunk(children[i], where + "/" + std::to_string(i), depth, published, i + 1 == children.size());
        fits(bytes.size(), where);
    }
    return bytes;
}

// A chunk's fields on one line, its children one per line below.
void print(std::ostream& out, const Json& object, std::size_t indent) {
    out << '{';
    const char* separator = "";
    for (const auto& item : object.items()) {
        out << separator << Json(item.key()).dump() << ": ";
        separator = ", ";
        if (item.key() != "children") {
            out << item.value().dump();
            continue;
        }
        out << '[';
        const std::string inner(indent + 2, ' ');
        for (std::size_t i = 0; i < item.value().size(); ++i) {
            out << (i ? ",\n" : "\n") << inner;
            print(out, item.value()[i], indent + 2);
        }
        if (!item.value().empty()) out << '\n' << std::string(indent, ' ');
        out << ']';
    }
    out << '}';
}

}  // namespace

Json parseDescription(const std::string& text) {
    struct Level {
        bool object;
        std::string pointer;
        std::set<std::string> keys;
        std::string key;        // in an object: the key of the value that comes next
        std::size_t index = 0;  // in an array: the index of the value that comes next
    };
    std::vector<Level> levels;
    const auto escaped = [](const std::string& key) {
        std::string out;
        for (const char c : key) out += c == '~' ? "~0" : c == '/' ? "~1" : std::string(1, c);
        return out;
    };
    const auto next = [&] {
        if (levels.empty()) return std::string();
        const Level& at = levels.back();
        return at.pointer + "/" + (at.object ? escaped(at.key) : std::to_string(at.index));
    };
    const auto ended = [&] {
        if (!levels.empty() && !levels.back().object) ++levels.back().index;
    };
    using Event = Json::parse_event_t;
    const Json::parser_callback_t watch = [&](int, Event event, Json& parsed) {
        switch (event) {
        case Event::object_start:
        case Event::array_start:
            // Refused while parsing, before memory grows with the depth: each list
            // takes two levels (its object and its children), and no reader
            // accepts more lists than List::maxDepth.
            if (levels.size() >= 2 * (List::maxDepth + 2) + 2)
                refuse(next(), "nested deeper than any description of a file a reader accepts");
            levels.push_back({event == Event::object_start, next(), {}, {}});
            break;
        case Event::key: {
            Level& at = levels.back();
            at.key = parsed.get<std::string>();
            if (!at.keys.insert(at.key).second) refuse(next(), "a key given twice in one object");
            break;
        }
        case Event::object_end:
        case Event::array_end:
            levels.pop_back();
            ended();
            break;
        case Event::value:
            ended();
            break;
        }
        return true;
    };
    try {
        return Json::parse(text, watch);
    } catch (const Json::exception& e) {  // a syntax error, or a number too large for a double
        const std::string what = e.what();  // "[json.exception.parse_error.101] parse error at ..."
        throw PackError("invalid JSON: " + what.substr(what.find("] ") + 2));
    }
}

Json unpack(std::istream& in, Convention convention) {
    File file(in, convention);
    in.clear();
    in.seekg(0, std::ios::end);
    const Layout layout{file, convention == Convention::Published, static_cast<std::uint64_t>(in.tellg())};
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
    Json out;
    out["form"] = code(file.type());
    if (layout.published) out["convention"] = "published";
    // The RIFF length where it is not the one the chunks give: pack writes it back.
    if (length != end - (layout.published ? 8 : 12)) out["length"] = length;
    out["children"] = describeChildren(file, layout, end);
    if (end < layout.size) {  // bytes after a published form: not part of it, but kept
        std::string after(static_cast<std::size_t>(layout.size - end), '\0');
        in.clear();
        in.seekg(static_cast<std::streamoff>(end));
        in.read(after.data(), static_cast<std::streamsize>(after.size()));
        out["after"] = hex(after);
    }
    return out;
}

std::string toText(const Json& description) {
    std::ostringstream out;
    print(out, description, 0);
    out << '\n';
    return out.str();
}

std::string pack(const Json& description) {
    if (!description.is_object()) refuse("", "the description must be an object");
    onlyFields(description, {"form", "convention", "length", "children", "after"}, "");
    const std::string form = codeOf(field(description, "form", ""), "/form");
    const std::string convention = description.contains("convention") ? text(description["convention"], "/convention") : "tav";
    if (convention != "tav" && convention != "published") refuse("/convention", "is \"tav\" or \"published\"");
    const bool published = convention == "published";
    const std::string body = packChildren(field(description, "children", ""), "/children", 1, published);
    fits(body.size() + 12, "");
    std::string bytes = published ? publishedRiff(form, body) : riff(form, body);
    declaredLength(bytes, description, "");
    if (description.contains("after")) {
        if (!published) refuse("/after", "only a published-convention file has bytes after its form");
        bytes += bytesOfHex(description["after"], "/after");
    }
    return bytes;
}

}  // namespace tavtool

// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include "riff_json.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <functional>
#include <initializer_list>

#include <tav/format/riff/file.hpp>
#include <tav/format/riff/list.hpp>

#include "detail/bytes.hpp"
#include "progress.hpp"
#include "riff_writer.hpp"
#include "text.hpp"

namespace tavtool {

namespace {

using Tav::Format::FourCC;
using Tav::Format::RIFF::Chunk;
using Tav::Format::RIFF::Convention;
using Tav::Format::RIFF::Family;
using Tav::Format::RIFF::File;
using Tav::Format::RIFF::List;

constexpr char hexDigits[] = "0123456789abcdef";
constexpr std::uint64_t largest = 0xFFFFFFFFu;  // what a 32-bit length field holds
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

// The bytes of hex digits, checked to be valid and even in number.
void fromHex(std::string_view digits, std::string& bytes) {
    bytes.resize(digits.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(hexValue(digits[2 * i]) << 4 | hexValue(digits[2 * i + 1]));
}

std::string hex(std::string_view bytes) {
    std::string out;
    appendHex(out, bytes);
    return out;
}

// A code as its four characters where all are printable ASCII; otherwise "0x"
// and the hex digits of its bytes in file order (ten characters, so the two
// forms cannot be confused).
std::string code(std::string_view c) {
    for (const char ch : c)
        if (ch < 0x20 || ch > 0x7E) return "0x" + hex(c);
    return std::string(c);
}

// The names of the family's members, as a description's "family" gives them.
constexpr const char* families[] = {"RIFF", "RIFX", "RF64", "BW64", "Wave64"};

// Bytes of a chunk header and of a form type in a member of the family.
unsigned headerBytes(Family family) { return family == Family::Wave64 ? 24 : 8; }
unsigned typeBytes(Family family) { return family == Family::Wave64 ? 16 : 4; }

// Bytes that follow a chunk of data length n: a published odd chunk's pad byte,
// a Wave64 chunk's zeros to the next multiple of 8.
std::uint64_t padBytes(Family family, bool published, std::uint64_t n) {
    if (family == Family::Wave64) return (0 - n) & 7;
    return published ? n & 1 : 0;
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

// How a file being described is laid out: in the published convention list
// lengths count the list type, and a pad byte follows each odd chunk.
struct Layout {
    std::istream& in;
    bool published;
    std::uint64_t size;  // the stream's: a cut file's last chunk ends past it
    std::uint64_t base;  // where the form stands in the stream: its chunks' offsets count from there
    Family family;

    // Where a chunk of the form stands in the stream.
    std::uint64_t at(Chunk& chunk) const { return base + chunk.offset64(); }
    unsigned header() const { return headerBytes(family); }
    std::uint64_t pad(std::uint64_t n) const { return padBytes(family, published, n); }

    // The id or type at `at` as a description writes it: a Wave64 GUID that is
    // not the one registered for its first four bytes is written whole.
    std::string codeAt(std::uint64_t at) const {
        std::string id;
        read(at, typeBytes(family), id);
        if (family == Family::Wave64 && id != wave64Guid(id.substr(0, 4))) return "0x" + hex(id);
        return code(std::string_view(id).substr(0, 4));
    }

    // The chunk's length field as it stands (an RF64 placeholder stays
    // 0xFFFFFFFF), a Wave64 size less its header.
    std::uint64_t field(Chunk& chunk) const {
        std::string header;
        read(at(chunk), this->header(), header);
        if (family == Family::Wave64) return Tav::detail::loadLE64(header.data() + 16) - 24;
        return family == Family::RIFX ? Tav::detail::loadBE32(header.data() + 4) : Tav::detail::loadLE32(header.data() + 4);
    }

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
            const std::string_view whole =
                std::string_view(block).substr(0, last ? block.size() : wholeCharacters(block));
            if (!use(whole)) return;
            done += whole.size();
        }
    }
};

// A value unpack writes: JSON text, bytes of the file shown as a JSON string or
// as hex, the children of a list, or the forms after the first.
struct Shown {
    enum class As { json, text, hex, children, forms };
    As as = As::json;
    std::string json;
    std::uint64_t at = 0, size = 0;
};

// A chunk as unpack describes it: its fields in order.
struct Described {
    std::vector<std::pair<std::string, Shown>> fields;
    std::vector<Described> children;
    std::vector<Described> forms;  // the first form's: the stream's other forms

    void add(std::string key, std::string json) {
        fields.push_back({std::move(key), {Shown::As::json, std::move(json)}});
    }
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
    out.add("id", jsonString(layout.codeAt(layout.at(chunk))));
    const std::uint64_t n = chunk.length64();
    const std::uint64_t start = layout.at(chunk) + layout.header();
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
    if (const std::uint64_t field = layout.field(chunk); field != held) out.add("length", std::to_string(field));
    return out;
}

// The pad after a chunk (a published odd chunk's byte, a Wave64 chunk's zeros
// to a multiple of 8): recorded on the chunk where it is not zeros, as what
// there is where the next chunk, the list's end or the file's end comes first.
void describePad(Described& described, std::uint64_t& cursor, std::uint64_t next, std::uint64_t bytes,
                 const Layout& layout) {
    const std::uint64_t held = std::min(bytes, next > cursor ? next - cursor : 0);
    std::string pad;
    if (held) layout.read(cursor, static_cast<std::size_t>(held), pad);
    if (held < bytes || pad.find_first_not_of('\0') != std::string::npos) described.add("pad", jsonString(hex(pad)));
    cursor += held;
}

// The children of a list, which must cover its data up to `end` exactly (a cut
// list: up to the stream's end): a child reaching past the list's end, or bytes
// that no child covers, would pack to other bytes.
std::vector<Described> describeChildren(List& list, const Layout& layout, std::uint64_t end) {
    std::vector<Described> children;
    std::uint64_t cursor = layout.at(list) + layout.header() + typeBytes(layout.family);
    const std::int32_t count = list.count();
    for (std::int32_t i = 0; i < count; ++i) {
        Chunk& child = list[static_cast<std::uint32_t>(i)];
        const bool isList = List::is(child);
        const std::uint64_t n = child.length64();
        const std::uint64_t declared = cursor + (child.dataEnd() - child.offset64());
        // A chunk may run past the end of a cut file, never past its list.
        const std::uint64_t childEnd = std::min(declared, layout.size);
        if (childEnd > end)
            throw std::runtime_error("the chunk at offset " + std::to_string(layout.at(child)) +
                                     " reaches past the list that holds it, which ends at " + std::to_string(end));
        children.push_back(isList ? Described() : describeData(child, layout));
        Described& described = children.back();
        if (isList) {
            List& sublist = static_cast<List&>(child);
            described.add("list", jsonString(layout.codeAt(layout.at(sublist) + layout.header())));
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
            if (declared != childEnd) described.add("length", std::to_string(layout.field(child)));  // cut short
            described.add("children", Shown::As::children, 0, 0);
            described.children = std::move(grandchildren);
        }
        cursor = childEnd;
        const std::uint64_t next = i + 1 < count ? layout.at(list[static_cast<std::uint32_t>(i + 1)]) : end;
        if (const std::uint64_t pad = layout.pad(n)) describePad(described, cursor, next, pad, layout);
    }
    if (cursor != end)
        throw std::runtime_error("bytes " + std::to_string(cursor) + " to " + std::to_string(end - 1) +
                                 " of the list at offset " + std::to_string(layout.at(list)) + " belong to no chunk");
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
        for (const auto& field : chunk.fields) {
            const Shown& value = field.second;  // a lambda below takes it: no structured binding
            out << separator << '"' << field.first << "\": ";
            separator = ", ";
            if (value.as == Shown::As::json) {
                out << value.json;
            } else if (value.as == Shown::As::children || value.as == Shown::As::forms) {
                children(value.as == Shown::As::children ? chunk.children : chunk.forms, indent);
            } else {
                std::string shown;
                std::uint64_t at = value.at;  // the data is shown in file order: where it has got to
                out << '"';
                layout.blocks(value.at, value.size, [&](std::string_view block) {
                    Progress::at(at += block.size());
                    shown.clear();
                    if (value.as == Shown::As::hex)
                        appendHex(shown, block);
                    else
                        appendEscaped(shown, block);
                    out.write(shown.data(), static_cast<std::streamsize>(shown.size()));
                    return out.good();  // an output that failed reads no more of the file
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

}  // namespace

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

    // A chunk's header, its length field zero until setLength.
    std::size_t header(const std::string& id) {
        return literal(id + std::string(family == Family::Wave64 ? 8 : 4, '\0'));
    }
    // Writes a data length into a header: a Wave64 size counts the header too.
    void setLength(std::size_t header, std::uint64_t length) {
        std::string& bytes = packed.pieces[header].bytes;
        if (family == Family::Wave64)
            bytes.replace(16, 8, le64(length + 24));
        else
            bytes.replace(4, 4, family == Family::RIFX ? be32(length) : le32(length));
    }

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
        description.blocks(value, [&](std::string_view digits) {
            int all = 0;
            for (const char c : digits) all |= hexValue(c);
            if (all < 0) {
                const auto bad = std::find_if(digits.begin(), digits.end(), [](char c) { return hexValue(c) < 0; });
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
        fromHex(digits, bytes);
        return bytes;
    }

    // A code's bytes as the file holds them: in a Wave64 file the GUID registered
    // for a four-byte code, or one given whole.
    std::string codeOf(const JsonValue& value, const std::string& where) {
        const bool guids = family == Family::Wave64;
        const char* what = guids ? "a code is four printable ASCII characters, or 0x and eight or 32 hex digits"
                                 : "a code is four printable ASCII characters, or 0x and eight hex digits";
        const std::string s = shortText(value, where, what);
        bool printable = s.size() == 4;
        for (const char c : s) printable = printable && c >= 0x20 && c <= 0x7E;
        std::string bytes;
        if (printable)
            bytes = s;
        else if (s.compare(0, 2, "0x") == 0 && (s.size() == 10 || (guids && s.size() == 34)))
            bytes = bytesOfHex(s.substr(2), where);
        else
            refuse(where, what);
        return guids && bytes.size() == 4 ? wave64Guid(bytes) : bytes;
    }

    // A name's bytes and the zero that ends them; their number.
    std::uint64_t name(const JsonValue& chunk, const std::string& where) {
        const JsonValue& value = string(field(chunk, "name", where), where + "/name");
        description.blocks(value, [&](std::string_view bytes) {
            if (bytes.find('\0') != std::string_view::npos)
                refuse(where + "/name", "a name ends at its first zero byte");
        });
        data(value, false);
        literal(std::string(1, '\0'));
        return value.size + 1;
    }

    void data(const JsonValue& value, bool hex) {
        packed.bytes += hex ? value.size / 2 : value.size;
        packed.pieces.push_back({{}, &value, hex});
    }

    // Whether lengths past 4 GiB have a place: Wave64's 64-bit sizes, RF64's ds64.
    bool wide() const { return family == Family::RF64 || family == Family::BW64 || family == Family::Wave64; }

    void fits(std::uint64_t bytes, const std::string& where) {
        if (!wide() && bytes > largest) refuse(where, "larger than 4 GiB");
    }

    // Writes the length field: the data's length, or the "length" a description
    // gives (a cut chunk's, a writer's placeholder); returns the length a reader
    // reads from it, an RF64 placeholder's from ds64.
    std::uint64_t length(std::size_t header, std::uint64_t natural, const JsonValue& chunk, const std::string& where) {
        std::uint64_t n = natural;
        const std::uint64_t most = family == Family::Wave64 ? ~std::uint64_t{0} - 24 : largest;
        if (const JsonValue* given = chunk.find("length")) {
            const std::string& digits = given->text;
            const bool whole = given->kind == JsonValue::Kind::number && !digits.empty() && digits.size() <= 20 &&
                               digits.find_first_not_of("0123456789") == std::string::npos;
            errno = 0;
            n = whole ? std::strtoull(digits.c_str(), nullptr, 10) : 0;
            if (!whole || errno == ERANGE || n > most)
                refuse(where + "/length", "a length is a whole number from 0 to " + std::to_string(most));
        } else if (n > most) {
            refuse(where, "larger than 4 GiB: give its \"length\" as 4294967295 and its size in ds64");
        }
        setLength(header, n);
        if (n != largest || (family != Family::RF64 && family != Family::BW64)) return n;
        const std::string id = packed.pieces[header].bytes.substr(0, 4);
        for (const auto& [owner, size] : sizes)
            if (owner == id) return size;
        return n;
    }

    // An RF64 or BW64 form's sizes, from its first chunk, "ds64", given in hex:
    // the form's, the "data" chunk's, then the table's, by id.
    void readSizes(const JsonValue& children, const std::string& signature, const std::string& where) {
        const char* what = "an RF64 or BW64 file begins with its ds64 chunk";
        const JsonValue* first = children.kind == JsonValue::Kind::array && !children.items.empty() ? &children.items[0] : nullptr;
        if (!first || first->kind != JsonValue::Kind::object) refuse(where, what);
        const JsonValue* id = first->find("id");
        if (!id || id->kind != JsonValue::Kind::string || id->text != "ds64") refuse(where, what);
        // Its data as the chunk will hold it: a name and its zero, then text or hex.
        std::string bytes;
        const JsonValue *name = first->find("name"), *text = first->find("text"), *hex = first->find("hex");
        for (const JsonValue* part : {name, text, hex}) {
            if (!part) continue;
            if (part->kind != JsonValue::Kind::string || !part->held) refuse(where + "/0", "a ds64 chunk is short");
            bytes += part == hex ? bytesOfHex(part->text, where + "/0/hex") : part->text;
            if (part == name) bytes += '\0';
        }
        if (bytes.size() < 28) refuse(where + "/0", "a ds64 chunk holds at least 28 bytes");
        sizes = {{signature, Tav::detail::loadLE64(bytes.data())}, {"data", Tav::detail::loadLE64(bytes.data() + 8)}};
        const std::uint64_t entries = std::min<std::uint64_t>(Tav::detail::loadLE32(bytes.data() + 24), (bytes.size() - 28) / 12);
        for (std::uint64_t i = 0; i < entries; ++i) {
            const char* entry = bytes.data() + 28 + 12 * i;
            sizes.emplace_back(std::string(entry, 4), Tav::detail::loadLE64(entry + 4));
        }
    }

    // A chunk, with the pad a published odd chunk or a Wave64 chunk takes:
    // zeros, the description's "pad", or less where the list ends first.
    void chunk(const JsonValue& chunk, const std::string& where, unsigned depth, bool last) {
        if (chunk.kind != JsonValue::Kind::object) refuse(where, "a chunk must be an object");
        const std::uint64_t start = offset();
        const unsigned headerSize = headerBytes(family);
        std::size_t at;
        std::uint64_t n;
        const bool isList = chunk.find("list") != nullptr;
        if (isList) {
            onlyFields(chunk, {"list", "name", "length", "children", "pad"}, where);
            if (family == Family::Wave64) refuse(where + "/list", "a Wave64 file's chunks hold data, not lists");
            if (depth > List::maxDepth)
                refuse(where,
                       "lists nested deeper than " + std::to_string(List::maxDepth) + ", which no reader accepts");
            at = header("LIST");
            literal(codeOf(*chunk.find("list"), where + "/list"));
            if (chunk.find("name")) {
                const std::size_t nameHeader = header("OSTR");
                const std::uint64_t bytes = name(chunk, where);
                setLength(nameHeader, bytes);
                literal(std::string(padBytes(family, published, bytes), '\0'));
            }
            children(field(chunk, "children", where), where + "/children", depth + 1);
            const std::uint64_t body = offset() - start - 12;
            fits(body + 12, where);
            n = length(at, published ? body + 4 : body, chunk, where);
        } else {
            onlyFields(chunk, {"id", "name", "text", "hex", "length", "pad"}, where);
            const std::string id = codeOf(field(chunk, "id", where), where + "/id");
            if (id == "LIST")
                refuse(where + "/id", "a LIST chunk is written as a list: {\"list\": TYPE, \"children\": [...]}");
            const JsonValue *text = chunk.find("text"), *hex = chunk.find("hex");
            if (!text == !hex) refuse(where, "a data chunk has one of \"text\" and \"hex\"");
            at = header(id);
            if (chunk.find("name")) name(chunk, where);
            if (text) {
                data(string(*text, where + "/text"), false);
            } else {
                hexBytes(*hex, where + "/hex");
                data(*hex, true);
            }
            fits(offset() - start, where);
            n = length(at, offset() - start - headerSize, chunk, where);
        }
        const std::uint64_t padding = padBytes(family, published, n);
        const JsonValue* pad = chunk.find("pad");
        if (!pad) {
            literal(std::string(padding, '\0'));
            return;
        }
        if (padding == 0)
            refuse(where + "/pad", family == Family::Wave64
                                       ? "a pad follows only a chunk whose length is no multiple of 8"
                                       : "a pad byte follows only an odd chunk of a published-convention file");
        const char* what = family == Family::Wave64 ? "a pad is the bytes up to the next multiple of 8" : "a pad is one byte";
        const std::string bytes = bytesOfHex(shortText(*pad, where + "/pad", what), where + "/pad");
        if (bytes.size() > padding) refuse(where + "/pad", what);
        if (bytes.size() < padding && !last && !isList)
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

    // A form: its header, its children, and the RIFF length they give or the one
    // it declares.
    void form(const JsonValue& value, const std::string& where) {
        const std::uint64_t start = offset();
        const std::string signature =
            family == Family::Wave64 ? wave64Guid("riff") : families[static_cast<int>(family)];
        const std::size_t at = header(signature);
        literal(codeOf(field(value, "form", where), where + "/form"));
        const JsonValue& list = field(value, "children", where);
        if (family == Family::RF64 || family == Family::BW64) readSizes(list, signature, where + "/children");
        children(list, where + "/children", 1);
        const std::uint64_t body = offset() - start - headerBytes(family) - typeBytes(family);
        fits(body + 12, where);
        length(at, published ? body + typeBytes(family) : body, value, where);
    }

    void file(const JsonValue& root) {
        if (root.kind != JsonValue::Kind::object) refuse("", "the description must be an object");
        onlyFields(root, {"form", "convention", "family", "length", "children", "forms", "after"}, "");
        if (const JsonValue* convention = root.find("convention")) {
            const char* what = "is \"tav\" or \"published\"";
            const std::string name = shortText(*convention, "/convention", what);
            if (name != "tav" && name != "published") refuse("/convention", what);
            published = name == "published";
        }
        if (const JsonValue* given = root.find("family")) {
            const char* what = "is \"RIFF\", \"RIFX\", \"RF64\", \"BW64\" or \"Wave64\"";
            const std::string name = shortText(*given, "/family", what);
            const auto found = std::find(std::begin(families), std::end(families), name);
            if (found == std::end(families)) refuse("/family", what);
            family = static_cast<Family>(found - std::begin(families));
            if (!published && family != Family::RIFF)
                refuse("/family", "only a published-convention file is of another family than RIFF");
        }
        form(root, "");
        // The forms after the first, one after another, in the first's convention.
        if (const JsonValue* forms = root.find("forms")) {
            if (!published) refuse("/forms", "only a published-convention file has forms after its first");
            if (family != Family::RIFF && family != Family::RIFX)
                refuse("/forms", "only a RIFF or RIFX file has forms after its first");
            if (forms->kind != JsonValue::Kind::array) refuse("/forms", "must be an array");
            for (std::size_t i = 0; i < forms->items.size(); ++i) {
                const JsonValue& item = forms->items[i];
                const std::string where = "/forms/" + std::to_string(i);
                if (item.kind != JsonValue::Kind::object) refuse(where, "a form must be an object");
                onlyFields(item, {"form", "length", "children"}, where);
                form(item, where);
            }
        }
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
    Family family = Family::RIFF;
    std::vector<std::pair<std::string, std::uint64_t>> sizes;  // an RF64 file's ds64, by id
};

Packed::Packed(const Description& description) : description(description) { Packer(*this).file(description.root); }

void Packed::write(std::ostream& out) const {
    std::string bytes;
    for (const Piece& piece : pieces) {
        if (!out) return;  // the writer reports it
        if (!piece.string) {
            out.write(piece.bytes.data(), static_cast<std::streamsize>(piece.bytes.size()));
            continue;
        }
        // A string's blocks but the last are of an even size, and hex digits
        // are checked to be even in number: no block ends inside a pair.
        description.blocks(*piece.string, [&](std::string_view block) {
            if (!piece.hex) {
                out.write(block.data(), static_cast<std::streamsize>(block.size()));
                return;
            }
            fromHex(block, bytes);
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        });
    }
}

namespace {

// A form: its type, the RIFF length where it is not the one its chunks give
// (pack writes it back), and its children.
Described describeForm(File& form, const Layout& layout) {
    const std::uint64_t length = layout.field(form);
    const std::uint64_t end = form.limit();
    Described described;
    described.add("form", jsonString(layout.codeAt(form.origin() + layout.header())));
    if (layout.published && form.origin() == 0) described.add("convention", "\"published\"");
    if (layout.family != Family::RIFF && form.origin() == 0)
        described.add("family", jsonString(families[static_cast<int>(layout.family)]));
    if (length != end - form.origin() - layout.header() - (layout.published ? 0 : 4))
        described.add("length", std::to_string(length));
    described.children = describeChildren(form, layout, end);
    described.add("children", Shown::As::children, 0, 0);
    return described;
}

}  // namespace

void checkLoaded(const std::istream& in, std::uint64_t at) {
    if (!in) throw std::runtime_error("cannot read the chunks of the form at offset " + std::to_string(at));
}

void unpack(std::istream& in, Convention convention, std::ostream& out) {
    in.seekg(0, std::ios::end);
    const auto size = static_cast<std::uint64_t>(in.tellg());
    const bool published = convention == Convention::Published;
    // Every form of the stream, one after another (OpenDML AVI), each described
    // as the first is; the first holds the others.
    std::vector<Described> forms;
    std::uint64_t end = 0;
    for (std::uint64_t at = 0;;) {
        File form(in, convention, at);
        checkLoaded(in, at);
        forms.push_back(describeForm(form, Layout{in, published, size, form.origin(), form.family()}));
        end = form.limit();
        if ((at = form.next()) == 0) break;
    }
    Described& top = forms.front();
    if (forms.size() > 1) {
        top.forms.assign(std::make_move_iterator(forms.begin() + 1), std::make_move_iterator(forms.end()));
        top.add("forms", Shown::As::forms, 0, 0);
    }
    // Bytes after the last published form that are no form: not part of it, but kept.
    if (end < size) top.add("after", Shown::As::hex, end, size - end);
    const Layout layout{in, published, size, 0, Family::RIFF};
    const Progress meter(size);
    Printer{layout, out}.print(top, 0);
    out << '\n';
}

}  // namespace tavtool

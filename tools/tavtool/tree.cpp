// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include "tree.hpp"

#include <algorithm>
#include <cstring>
#include <iostream>
#include <string>
#include <unordered_map>

#include <tav/format/ostrane/file.hpp>

#include "commands.hpp"
#include "files.hpp"
#include "riff_json.hpp"
#include "text.hpp"

namespace tavtool {
namespace {

using Tav::Format::FourCC;
using Tav::Format::Ostrane::Node;
using Tav::Format::RIFF::Chunk;
using Tav::Format::RIFF::List;

// Whether a code can stand as a path's type: a letter, then letters, digits or spaces.
bool pathType(const FourCC& code) {
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    const auto tail = [&](char c) { return letter(c) || (c >= '0' && c <= '9') || c == ' '; };
    return letter(code.chars[0]) && tail(code.chars[1]) && tail(code.chars[2]) && tail(code.chars[3]);
}

std::string shownCode(const FourCC& code) { return printable(std::string_view(code.chars, 4)); }

// A chunk's id: a Wave64 GUID registered for no RIFF code shows whole, in the
// form GUIDs are written ({01234567-89AB-...}, its first three fields little-endian).
std::string shownId(Chunk& chunk, const FourCC& id) {
    if (id.value != 0) return shownCode(id);
    const auto g = chunk.guid();
    static const int order[] = {3, 2, 1, 0, -1, 5, 4, -1, 7, 6, -1, 8, 9, -1, 10, 11, 12, 13, 14, 15};
    std::string out = "{";
    for (const int i : order) {
        if (i < 0) {
            out += '-';
            continue;
        }
        static const char digits[] = "0123456789ABCDEF";
        out += digits[g[static_cast<std::size_t>(i)] >> 4];
        out += digits[g[static_cast<std::size_t>(i)] & 15];
    }
    return out + "}";
}

struct Printer {
    bool names;
    std::uint64_t size;  // the stream's
    std::uint64_t base;  // where the form stands in the stream: its chunks' offsets count from there
    std::ostream& out;

    // `id` is the chunk's own, `type` its list type for a list (else its id);
    // `within` is where the list that holds it ends.
    void show(Chunk& chunk, List* asList, const FourCC& id, const FourCC& type, int depth, const std::string& path,
              std::uint64_t within) {
        std::string line(2 * static_cast<std::size_t>(depth), ' ');
        line += shownId(chunk, id);
        if (asList) line += ' ' + shownCode(type);
        const std::uint64_t length = chunk.length64();
        const std::uint64_t offset = base + chunk.offset64();
        line += "  offset " + std::to_string(offset) + "  length " + std::to_string(length);
        // A tree shown must be true: a chunk that the file or its list cannot
        // hold says so, and by how much.
        const std::uint64_t end = base + chunk.dataEnd();
        if (end > size)
            line += "  (cut: " + std::to_string(end - size) + " bytes short)";
        else if (end > within)
            line += "  (reaches " + std::to_string(end - within) + " bytes past its list)";
        if (names && depth > 0) {
            try {
                line += "  name \"" + printable(Node(chunk).name()) + "\"  path " + path;
            } catch (...) {
                out << line << '\n';
                throw;
            }
        }
        out << line << '\n';
        if (!asList) return;
        // A path step selects a child by its type and its index among the children
        // of that type where the type can be written, by index alone otherwise;
        // the counts are kept as the walk goes, so each child costs the same.
        std::unordered_map<std::uint32_t, std::uint32_t> seen;
        for (std::int32_t i = 0; i < asList->count(); ++i) {
            const auto index = static_cast<std::uint32_t>(i);
            Chunk& child = (*asList)[index];
            List* sublist = List::is(child) ? static_cast<List*>(&child) : nullptr;
            const FourCC childId = child.type();
            const FourCC childType = sublist ? sublist->type() : childId;
            const std::uint32_t same = seen[childType.value]++;
            const std::string step = pathType(childType) ? "/" + std::string(childType.chars, 4) + "#" + std::to_string(same)
                                                         : "/#" + std::to_string(index);
            show(child, sublist, childId, childType, depth + 1, path + step, std::min(end, within));
        }
    }
};

// What the bytes after the last form look like, for a line that names them.
std::string whatFollows(std::istream& in, std::uint64_t from, std::uint64_t count) {
    std::string head(static_cast<std::size_t>(std::min<std::uint64_t>(count, 1 << 16)), '\0');
    in.clear();
    in.seekg(static_cast<std::streamoff>(from));
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    if (head.compare(0, 4, "RIFF") == 0 && head.size() >= 12)
        return "another RIFF form, of type \"" + printable(head.substr(8, 4)) + "\"";
    if (head.compare(0, 4, "LIST") == 0) return "a LIST chunk";
    if (count == 128 && head.compare(0, 3, "TAG") == 0) return "an ID3v1 tag";
    if (head.compare(0, 3, "ID3") == 0) return "an ID3v2 tag";
    if (head.find_first_not_of('\0') == std::string::npos) return count == head.size() ? "zeros" : "zeros at first";
    return "other bytes";
}

}  // namespace

void printTree(std::istream& in, Tav::Format::RIFF::Convention convention, bool names, std::uint64_t size,
               std::ostream& out) {
    // A stream may hold several forms, one after another (OpenDML AVI): each is
    // shown as the first is.
    for (std::uint64_t at = 0;;) {
        Tav::Format::RIFF::File form(in, convention, at);
        checkLoaded(in, at);
        Chunk& riff = form;  // the "RIFF" chunk itself
        const bool named = names || std::memcmp(form.type().chars, "OSTR", 4) == 0;
        Printer{named, size, form.origin(), out}.show(form, &form, riff.type(), form.type(), 0, "", size);
        if ((at = form.next()) != 0) continue;
        // Bytes after a published form that are no form are not part of it (Tav's
        // form fills its file).
        if (const std::uint64_t end = form.limit(); end < size)
            out << "after the form: " << size - end << " bytes, " << whatFollows(in, end, size - end) << '\n';
        return;
    }
}

void addTree(CLI::App& app, Run& run) {
    auto* cmd = app.add_subcommand("tree", "Print the chunk tree of a RIFF file, one chunk per line");
    auto path = std::make_shared<std::string>();
    auto names = std::make_shared<bool>(false);
    auto convention = std::make_shared<std::string>("auto");
    cmd->add_option("FILE", *path, "the RIFF file, or - for standard input")->required();
    cmd->add_flag("--names", *names,
                  "show each node's name and a path that selects it (the default for files of form type OSTR)");
    addConvention(*cmd, *convention);
    addQuiet(*cmd);
    cmd->callback([&run, path, names, convention] {
        run = [path, names, convention] {
            return guarded(shownInput(*path), [&] {
                auto in = openSeekable(*path);
                const Tav::Format::RIFF::Convention chosen = chooseConvention(*in, *convention, *path);
                const std::uint64_t size = riffSize(*in, *path);
                printTree(*in, chosen, *names, size, std::cout);
                return 0;
            });
        };
    });
}

}  // namespace tavtool

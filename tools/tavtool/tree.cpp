// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include "tree.hpp"

#include <cstring>
#include <iostream>
#include <string>
#include <unordered_map>

#include <tav/format/ostrane/file.hpp>

#include "commands.hpp"
#include "files.hpp"
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

struct Printer {
    bool names;
    std::ostream& out;

    // `id` is the chunk's own, `type` its list type for a list (else its id).
    void show(Chunk& chunk, List* asList, const FourCC& id, const FourCC& type, int depth, const std::string& path) {
        std::string line(2 * static_cast<std::size_t>(depth), ' ');
        line += shownCode(id);
        if (asList) line += ' ' + shownCode(type);
        line += "  offset " + std::to_string(chunk.offset()) + "  length " + std::to_string(chunk.length());
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
            show(child, sublist, childId, childType, depth + 1, path + step);
        }
    }
};

}  // namespace

void printTree(Tav::Format::RIFF::File& file, bool names, std::ostream& out) {
    Printer{names, out}.show(file, &file, static_cast<Chunk&>(file).type(), file.type(), 0, "");
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
    cmd->callback([&run, path, names, convention] {
        run = [path, names, convention] {
            return guarded(shownInput(*path), [&] {
                auto in = openSeekable(*path);
                Tav::Format::RIFF::File file(*in, chooseConvention(*in, *convention, *path));
                printTree(file, *names || std::memcmp(file.type().chars, "OSTR", 4) == 0, std::cout);
                return 0;
            });
        };
    });
}

}  // namespace tavtool

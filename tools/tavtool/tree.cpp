#include <cstring>
#include <iostream>
#include <string>

#include <tav/format/ostrane/file.hpp>

#include "commands.hpp"

namespace tavtool {
namespace {

using Tav::Format::FourCC;
using Tav::Format::Ostrane::Node;
using Tav::Format::RIFF::Chunk;
using Tav::Format::RIFF::List;

// The type a path step uses for a child: its list type for lists, its id otherwise.
FourCC stepType(Chunk& child) {
    return List::is(child) ? static_cast<List&>(child).type() : child.type();
}

// Whether a code can stand as a path's type: a letter, then letters, digits or spaces.
bool pathType(const FourCC& code) {
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    const auto tail = [&](char c) { return letter(c) || (c >= '0' && c <= '9') || c == ' '; };
    return letter(code.chars[0]) && tail(code.chars[1]) && tail(code.chars[2]) && tail(code.chars[3]);
}

// A path step that selects child `index` of `list`: by type and index among the
// children of that type where the type can be written, by index alone otherwise.
std::string step(List& list, std::uint32_t index) {
    const FourCC type = stepType(list[index]);
    if (!pathType(type)) return "/#" + std::to_string(index);
    std::uint32_t same = 0;
    for (std::uint32_t i = 0; i < index; ++i) {
        Chunk& sibling = list[i];
        const FourCC id = sibling.type();
        if (id.value == type.value || (List::is(sibling) && static_cast<List&>(sibling).type().value == type.value))
            ++same;
    }
    return "/" + std::string(type.chars, 4) + "#" + std::to_string(same);
}

struct Printer {
    bool names;

    void show(Chunk& chunk, List* asList, int depth, const std::string& path) {
        std::cout << std::string(2 * static_cast<std::size_t>(depth), ' ') << printable(chunk.type().chars, 4);
        if (asList) std::cout << ' ' << printable(asList->type().chars, 4);
        std::cout << "  offset " << chunk.offset() << "  length " << chunk.length();
        if (names && depth > 0) {
            const std::string name = Node(chunk).name();
            std::cout << "  name \"" << printable(name.data(), name.size()) << "\"  path " << path;
        }
        std::cout << '\n';
        if (!asList) return;
        for (std::int32_t i = 0; i < asList->count(); ++i) {
            const auto index = static_cast<std::uint32_t>(i);
            Chunk& child = (*asList)[index];
            show(child, List::is(child) ? static_cast<List*>(&child) : nullptr, depth + 1,
                 path + step(*asList, index));
        }
    }
};

}  // namespace

void addTree(CLI::App& app, Run& run) {
    auto* cmd = app.add_subcommand("tree", "Print the chunk tree of a RIFF file, one chunk per line");
    auto path = std::make_shared<std::string>();
    auto names = std::make_shared<bool>(false);
    cmd->add_option("FILE", *path, "the RIFF file")->required();
    cmd->add_flag("--names", *names,
                  "show each node's name and a path that selects it (the default for files of form type OSTR)");
    cmd->callback([&run, path, names] {
        run = [path, names] {
            return guarded([&] {
                auto in = openInput(*path);
                Tav::Format::Ostrane::File file(*in);
                Printer printer{*names || std::memcmp(file.type().chars, "OSTR", 4) == 0};
                printer.show(file, &file, 0, "");
                return 0;
            });
        };
    });
}

}  // namespace tavtool

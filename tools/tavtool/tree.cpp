#include <iostream>
#include <string>

#include <tav/format/riff/file.hpp>

#include "commands.hpp"

namespace tavtool {
namespace {

using Tav::Format::RIFF::Chunk;
using Tav::Format::RIFF::List;

void show(Chunk& chunk, List* asList, int depth) {
    const std::string indent(2 * static_cast<std::size_t>(depth), ' ');
    std::cout << indent << printable(chunk.type().chars, 4);
    if (asList) std::cout << ' ' << printable(asList->type().chars, 4);
    std::cout << "  offset " << chunk.offset() << "  length " << chunk.length() << '\n';
    if (!asList) return;
    for (std::int32_t i = 0; i < asList->count(); ++i) {
        Chunk& child = (*asList)[static_cast<std::uint32_t>(i)];
        show(child, List::is(child) ? static_cast<List*>(&child) : nullptr, depth + 1);
    }
}

}  // namespace

void addTree(CLI::App& app, Run& run) {
    auto* cmd = app.add_subcommand("tree", "Print the chunk tree of a RIFF file, one chunk per line");
    auto path = std::make_shared<std::string>();
    cmd->add_option("FILE", *path, "the RIFF file")->required();
    cmd->callback([&run, path] {
        run = [path] {
            return guarded([&] {
                auto in = openInput(*path);
                Tav::Format::RIFF::File file(*in);
                show(file, &file, 0);
                return 0;
            });
        };
    });
}

}  // namespace tavtool

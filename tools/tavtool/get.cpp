// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>

#include <tav/format/ostrane/file.hpp>

#include "commands.hpp"
#include "files.hpp"
#include "text.hpp"

namespace tavtool {

namespace {

void hexDump(const char* data, std::size_t size) {
    for (std::size_t row = 0; row < size; row += 16) {
        std::printf("%08zx ", row);
        for (std::size_t i = row; i < row + 16; ++i) {
            if (i < size)
                std::printf(" %02x", static_cast<unsigned char>(data[i]));
            else
                std::printf("   ");
        }
        std::printf("  ");
        for (std::size_t i = row; i < row + 16 && i < size; ++i) {
            const auto c = static_cast<unsigned char>(data[i]);
            std::putchar(c >= 0x20 && c < 0x7F ? c : '.');
        }
        std::putchar('\n');
    }
}

}  // namespace

void addGet(CLI::App& app, Run& run) {
    auto* cmd = app.add_subcommand("get", "Write the payload of the node a container path selects");
    auto path = std::make_shared<std::string>();
    auto nodePath = std::make_shared<std::string>();
    auto hex = std::make_shared<bool>(false);
    cmd->add_option("FILE", *path, "the container file, or - for standard input")->required();
    cmd->add_option("PATH", *nodePath, "the node's path, for example /BODY.ORL/STRN.code")->required();
    cmd->add_flag("--hex", *hex, "write a hex dump instead of the raw bytes");
    cmd->callback([&run, path, nodePath, hex] {
        run = [path, nodePath, hex] {
            return guarded(shownInput(*path), [&] {
                auto in = openContainer(*path);
                Tav::Format::Ostrane::File file(*in);
                std::unique_ptr<Tav::Format::Ostrane::Node> node;
                try {
                    node.reset(&file[*nodePath]);
                } catch (const std::out_of_range&) {
                    // An index too large for the library's integers is thrown by value.
                    throw std::runtime_error("Invalid path " + excerpt(*nodePath) + ": an index is too large");
                }
                // The payload runs from after the data's first zero byte (or from its
                // end, when it has none) to its end; for a list node the data is the list's.
                Tav::Format::RIFF::Chunk& chunk = *node;
                const char* data = chunk.open();
                const std::size_t length = node->length();
                const void* zero = std::memchr(data, 0, length);
                const char* payload = zero ? static_cast<const char*>(zero) + 1 : data + length;
                const std::size_t size = static_cast<std::size_t>(data + length - payload);
                if (*hex)
                    hexDump(payload, size);
                else
                    std::fwrite(payload, 1, size, stdout);
                return 0;
            });
        };
    });
}

}  // namespace tavtool

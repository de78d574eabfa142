// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

#include <tav/security/crc32.hpp>

#include "commands.hpp"
#include "files.hpp"

namespace tavtool {

namespace {

// The checksum of a whole stream, read in blocks: memory stays the same however
// large the file.
unsigned int streamed(std::istream& in, const std::string& shown) {
    std::vector<char> block(1 << 20);
    unsigned int sum = 0;
    while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0)
        sum = Tav::Security::Hash::Crc32(reinterpret_cast<const unsigned char*>(block.data()),
                                         static_cast<std::size_t>(in.gcount()), sum);
    if (in.bad()) throw FileError(shown + ": " + std::generic_category().message(errno ? errno : EIO));
    return sum;
}

}  // namespace

void addCrc32(CLI::App& app, Run& run) {
    auto* cmd = app.add_subcommand("crc32", "Print the library's CRC-32 of a file, or of a key's text form");
    auto path = std::make_shared<std::string>();
    auto key = std::make_shared<std::string>();
    auto* file = cmd->add_option("FILE", *path, "the file to checksum, or - for standard input");
    auto* text = cmd->add_option("--key", *key,
                                 "checksum this text and its terminating zero byte: the hash under "
                                 "which a Locale files the key's text");
    file->excludes(text);
    cmd->callback([&run, path, key, file, text] {
        if (!*file && !*text) throw CLI::RequiredError("FILE or --key");
        const bool isKey = static_cast<bool>(*text);
        run = [path, key, isKey] {
            return guarded(isKey ? "" : shownInput(*path), [&] {
                const unsigned int sum =
                    isKey ? Tav::Security::Hash::Crc32(key->c_str()) : streamed(*openInput(*path), shownInput(*path));
                std::printf("%08x\n", sum);
                return 0;
            });
        };
    });
}

}  // namespace tavtool

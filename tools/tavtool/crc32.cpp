#include <cstdio>
#include <iostream>
#include <iterator>
#include <limits>
#include <stdexcept>
#include <string>

#include <tav/security/crc32.hpp>

#include "commands.hpp"

namespace tavtool {

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
            return guarded([&] {
                unsigned int sum;
                if (isKey) {
                    sum = Tav::Security::Hash::Crc32(key->c_str());
                } else {
                    std::unique_ptr<std::istream> opened;
                    if (*path != "-") opened = openInput(*path);
                    std::istream& in = opened ? *opened : std::cin;
                    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
                    if (bytes.size() > std::numeric_limits<unsigned int>::max())
                        throw std::runtime_error("input larger than 4 GiB");
                    sum = Tav::Security::Hash::Crc32(reinterpret_cast<const unsigned char*>(bytes.data()),
                                                     static_cast<unsigned int>(bytes.size()));
                }
                std::printf("%08x\n", sum);
                return 0;
            });
        };
    });
}

}  // namespace tavtool

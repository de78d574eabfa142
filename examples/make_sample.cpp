// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// Writes examples/sample.riff, the small container file the README's first
// command shows: a "BODY" list named "ORL" holding a code, two key hashes and
// their two texts, laid out as a locale file.
#include <fstream>
#include <iostream>

#include <tav/security/crc32.hpp>

#include "riff_writer.hpp"

int main(int argc, char** argv) {
    using namespace tavtool;
    if (argc != 2) {
        std::cerr << "usage: make_sample OUTPUT\n";
        return 2;
    }
    const std::string hashes = le32(Tav::Security::Hash::Crc32("hello")) + le32(Tav::Security::Hash::Crc32("bye"));
    const std::string texts = chunk("STR ", std::string("Hello, world!") + '\0') +
                              chunk("STR ", std::string("Goodbye!") + '\0');
    const std::string body = node("STRN", "code", std::string("en") + '\0') +
                             node("TUDW", "offsets", hashes) + namedList("ATXT", "strings", texts);
    std::ofstream out(argv[1], std::ios::binary);
    out << riff("OSTR", namedList("BODY", "ORL", body));
    return out ? 0 : 1;
}

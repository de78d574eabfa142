// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// Opens a RIFF file whose name lies outside any ANSI code page. The library
// reads a std::istream that the caller opens; a std::filesystem::path made from
// UTF-8 is UTF-16 on Windows, where a narrow name would pass through the ANSI
// code page and not be found.
//
//   unicode_name      (reads "Übersetzung_日本.riff" in the current directory)
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include <tav/tav.hpp>

int main() {
    const std::string name = u8"Übersetzung_日本.riff";  // UTF-8, as the program keeps its text
    std::ifstream in(std::filesystem::u8path(name), std::ios::binary);
    if (!in) {
        std::cerr << "unicode_name: cannot open " << name << '\n';
        return 1;
    }
    try {
        Tav::Format::RIFF::File file(in);
        std::cout << "opened, " << file.count() << " chunk(s) at the top\n";
    } catch (std::exception* e) {
        std::unique_ptr<std::exception> owned(e);
        std::cerr << "unicode_name: " << owned->what() << '\n';
        return 1;
    }
    return 0;
}

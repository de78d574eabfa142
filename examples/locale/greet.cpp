// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// Loads a locale file and prints greetings from it.
//
//   tavtool locale compile examples/locale/de.po -o de.locale
//   greet de.locale
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>

#include <tav/tav.hpp>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: greet LOCALE-FILE\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "greet: cannot open " << argv[1] << '\n';
        return 1;
    }
    try {
        Tav::International::Locale locale(in);
        std::cout << "[" << locale.code() << "] ";
        // Printed texts follow each other directly, with nothing added between them.
        locale << "greeting" << "separator" << "farewell";
        std::cout << '\n';
        // A key with a context: ContextKey("menu", "Open") is "menu", byte 0x04, "Open".
        std::cout << locale[Tav::International::ContextKey("menu", "Open")] << '\n';
        // Plural forms are chosen by the catalogue's rule, as ngettext chooses them.
        for (int n : {1, 3}) {
            std::printf(locale.plural("%d new message", static_cast<unsigned long>(n)), n);
            std::printf("\n");
        }
    } catch (std::exception* e) {  // the library throws pointers; the catcher deletes them
        std::unique_ptr<std::exception> owned(e);
        std::cerr << "greet: " << owned->what() << '\n';
        return 1;
    }
    return 0;
}

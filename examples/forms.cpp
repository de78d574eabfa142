// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// Lists the forms of a RIFF file and their chunks. Files past a gigabyte may
// hold several forms one after another: an OpenDML AVI keeps its first frames
// in the "AVI " form and the rest in "AVIX" forms after it. Each is read as a
// File of its own, at its offset.
//
//   forms film.avi
#include <cstdint>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include <tav/tav.hpp>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: forms FILE\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "forms: cannot open " << argv[1] << '\n';
        return 1;
    }
    try {
        using namespace Tav::Format::RIFF;
        for (std::uint64_t at = 0;;) {
            File form(in, Convention::Published, at);  // the stream must outlive the form
            std::cout << "form \"" << std::string(form.type().chars, 4) << "\" at " << form.origin() << ':';
            // A chunk's offset counts from its form's header.
            for (std::int32_t i = 0; i < form.count(); ++i) {
                Chunk& chunk = form[static_cast<std::uint32_t>(i)];
                std::cout << ' ' << std::string(chunk.type().chars, 4) << '@' << form.origin() + chunk.offset();
            }
            std::cout << '\n';
            if ((at = form.next()) == 0) break;
        }
        return 0;
    } catch (std::exception* e) {  // the library throws pointers; the catcher deletes them
        std::unique_ptr<std::exception> owned(e);
        std::cerr << "forms: " << argv[1] << ": " << owned->what() << '\n';
    }
    return 1;
}

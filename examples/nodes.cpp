// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// Reads a node of a container file: the node a path lookup returns belongs to
// the caller, and the library's errors are pointers that the catcher deletes.
//
//   nodes examples/sample.riff /BODY.ORL/STRN.code
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>

#include <tav/tav.hpp>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: nodes CONTAINER PATH\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "nodes: cannot open " << argv[1] << '\n';
        return 1;
    }
    try {
        Tav::Format::Ostrane::File file(in);  // outlives every node made from it
        // operator[] returns a reference to a new Node: own it at once.
        // (`auto node = file[path];` would copy it and leak the original.)
        std::unique_ptr<Tav::Format::Ostrane::Node> node(&file[argv[2]]);
        const std::string name = node->name();
        // The data is the name, its zero byte, then the payload: no terminating
        // zero follows the payload, so its size comes from the length.
        const std::uint32_t length = node->length();
        const std::uint32_t size = length > name.size() ? length - static_cast<std::uint32_t>(name.size()) - 1 : 0;
        const char* payload = node->open();
        std::cout << "name \"" << name << "\", " << size << " payload bytes: ";
        std::cout.write(payload, size) << '\n';
    } catch (std::exception* e) {  // catch (const std::exception&) would not catch these
        std::unique_ptr<std::exception> owned(e);
        std::cerr << "nodes: " << argv[1] << ": " << owned->what() << '\n';
        return 1;
    } catch (const std::out_of_range& e) {  // an index too large for 32 bits arrives by value
        std::cerr << "nodes: " << argv[1] << ": " << e.what() << '\n';
        return 1;
    }
    return 0;
}

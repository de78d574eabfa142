// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// Format is printf into a new std::string, which the caller owns: hold it in a
// std::unique_ptr. It takes what printf takes (a std::string as s.c_str()), and
// the compiler checks a literal format against its arguments.
#include <iostream>
#include <memory>
#include <string>

#include <tav/tav.hpp>

int main() {
    const std::string name = "Tav";
    const std::unique_ptr<std::string> line(Tav::String::Format("%s has %d parts, %.1f%% done", name.c_str(), 7, 99.5));
    std::cout << *line << '\n';
    for (const std::string& piece : Tav::String::Explode("a,b,,c", ',', 0)) std::cout << '[' << piece << ']';
    std::cout << '\n';
}

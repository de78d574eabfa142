// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// An outside program that uses the installed library.
#include <sstream>
#include <string>

#include <tav/tav.hpp>

int main() {
    std::istringstream data(std::string("RIFF\0\0\0\0TEST", 12));
    Tav::Format::RIFF::File file(data);
    return file.count() == 0 && Tav::Format::RIFF::File::is(file) ? 0 : 1;
}

// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// An outside program that uses the installed library, and catches what it
// throws: pointers to its exceptions as their own class and as std::exception,
// and the standard library's own exceptions by value.
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>

#include <tav/tav.hpp>

namespace {

// An empty container file: the "RIFF" form of type "OSTR", no chunks (its
// length counts the bytes after the form type).
std::istringstream container() { return std::istringstream(std::string("RIFF\0\0\0\0OSTR", 12)); }

bool fails(const char* what) {
    std::cerr << "consumer: " << what << '\n';
    return false;
}

bool catchesPointers() {
    std::istringstream bad("RIFX");
    try {
        Tav::Format::RIFF::File file(bad);
        return fails("no exception for a stream that is no RIFF file");
    } catch (std::invalid_argument* error) {
        const std::string message = error->what();
        delete error;
        if (message != "Tav::Format::RIFF::File::constructor: Invalid RIFF signature!") return fails(message.c_str());
    }
    std::istringstream data = container();
    Tav::Format::Ostrane::File file(data);
    try {
        file["/#3"];
        return fails("no exception for a node past the last");
    } catch (std::exception* error) {  // a std::range_error*, caught through its base
        const bool range = dynamic_cast<std::range_error*>(error) != nullptr;
        delete error;
        if (!range) return fails("not a std::range_error");
    }
    return true;
}

bool catchesValues() {
    std::istringstream data = container();
    Tav::Format::Ostrane::File file(data);
    try {
        file["/#99999999999"];  // beyond what the standard conversion takes
        return fails("no exception for an index beyond an int");
    } catch (const std::out_of_range&) {
        return true;
    } catch (...) {
        return fails("not a std::out_of_range");
    }
}

}  // namespace

int main() {
    std::istringstream data(std::string("RIFF\0\0\0\0TEST", 12));
    Tav::Format::RIFF::File file(data);
    const bool opened = file.count() == 0 && Tav::Format::RIFF::File::is(file);
    return opened && catchesPointers() && catchesValues() ? 0 : 1;
}

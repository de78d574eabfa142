// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

// RIFF data in the library's length convention as a JSON description and back;
// docs/riff-json.md describes the format.

#include <istream>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include <tav/format/riff/file.hpp>

namespace tavtool {

using Json = nlohmann::ordered_json;

// A description that cannot become RIFF data: the message names the place in
// the JSON as a JSON pointer ("/children/3/id: ...").
struct PackError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A description from its text. Refuses invalid JSON ("invalid JSON: ...") and an
// object with a key given twice, naming the second one's JSON pointer, with a
// PackError: a parser that kept either value would silently drop the other.
Json parseDescription(const std::string& text);

// The description of a RIFF file read through the library in the given length
// convention. Throws the library's exception pointers for data it refuses, and
// std::runtime_error for a file whose chunks (and pad bytes) do not tile its
// bytes exactly: such a file would not pack back to itself.
Json unpack(std::istream& in, Tav::Format::RIFF::Convention convention = Tav::Format::RIFF::Convention::Tav);

// A description as text: each chunk on a line of its own, its children indented
// below it, so that it reads like the tree and diffs line by line.
std::string toText(const Json& description);

// The RIFF data a description stands for; throws PackError.
std::string pack(const Json& description);

}  // namespace tavtool

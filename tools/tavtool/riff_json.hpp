// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

// RIFF data as a JSON description and back; docs/riff-json.md describes the
// format. Both ways stream the chunks' data: memory holds the chunk tree, never
// the bytes of the chunks, so files of gigabytes go through in a few megabytes.

#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <tav/format/riff/file.hpp>

#include "files.hpp"

namespace tavtool {

// A description that cannot become RIFF data: the message names the place in
// the JSON as a JSON pointer ("/children/3/id: ...").
struct PackError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A JSON value as a description holds it. A string's bytes stay in memory up to
// a few kilobytes; a longer one's (a chunk's data) go to the description's
// temporary file as they are read.
struct JsonValue {
    enum class Kind { null, boolean, number, string, array, object };
    Kind kind = Kind::null;
    std::string text;                // a number's or literal's JSON text; a short string's bytes
    bool held = true;                // whether a string's bytes are in `text`
    std::uint64_t at = 0, size = 0;  // a string's bytes: where they start in the file, and how many
    std::vector<JsonValue> items;    // an array's
    std::vector<std::pair<std::string, JsonValue>> members;  // an object's, in order

    const JsonValue* find(std::string_view key) const;
};

struct Description {
    JsonValue root;
    std::unique_ptr<TemporaryFile> strings;  // the long strings' bytes, where there are some
};

// Reads a description. Refuses invalid JSON ("invalid JSON: parse error at line
// 1, column 31: ...") and an object with a key given twice, naming the second
// one's JSON pointer, with a PackError: a reader that kept either value would
// silently drop the other. JSON nested deeper than any description of a file
// a reader accepts is refused as it is read.
Description parseDescription(std::istream& in);

// Writes the description of a RIFF file read through the library in the given
// length convention, one chunk a line. Throws the library's exception pointers
// for data it refuses, and std::runtime_error for a file whose chunks (and pad
// bytes) do not tile its bytes exactly, which would not pack back to itself;
// both before anything is written.
void unpack(std::istream& in, Tav::Format::RIFF::Convention convention, std::ostream& out);

// The RIFF data a description stands for, checked whole when made (throws
// PackError), so that a refusal comes before any byte is written. Refers to
// the description, which must outlive it.
class Packed {
public:
    explicit Packed(const Description& description);
    std::uint64_t size() const { return bytes; }
    void write(std::ostream& out) const;

    // A stretch of the output: bytes of its own (headers, names' ends, pad
    // bytes), or a string of the description, as it is or as hex digits.
    struct Piece {
        std::string bytes;
        const JsonValue* string = nullptr;
        bool hex = false;
    };

private:
    const Description& description;
    std::vector<Piece> pieces;
    std::uint64_t bytes = 0;
    friend class Packer;
};

}  // namespace tavtool

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

#include "json.hpp"

namespace tavtool {

// Writes the description of a RIFF file read through the library in the given
// length convention, one chunk a line. Throws the library's exception pointers
// for data it refuses, and std::runtime_error for a file whose chunks (and pad
// bytes) do not tile its bytes exactly, which would not pack back to itself;
// both before anything is written.
void unpack(std::istream& in, Tav::Format::RIFF::Convention convention, std::ostream& out);

// Refuses a form whose chunk tree the stream failed to give whole: a read that
// fails ends the library's walk, and the chunks after it would go missing
// unseen. `at` is where the form stands.
void checkLoaded(const std::istream& in, std::uint64_t at);

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

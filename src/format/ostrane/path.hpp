// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include <tav/format/fourcc.hpp>

#include "format/riff/window.hpp"

namespace Tav::Format::RIFF {
class Chunk;
class File;
}  // namespace Tav::Format::RIFF

namespace Tav::Format::Ostrane::detail {

// One segment of a container path.
struct Step {
    FourCC type;            // 0: any type
    std::string_view name;  // without its dot; parsed, not used by the walk
    std::uint32_t index;    // among the children that pass the type test
    bool list;              // every step but the last must select a list
};

// Checks the whole path against the grammar in one linear pass, then reads the
// indices. Throws the "Invalid path" failure, or std::out_of_range for an index
// beyond a signed 32-bit integer. The steps refer into `path`.
std::vector<Step> parsePath(std::string_view path);

// Reads the identifiers of children through one window of the file's stream: a
// lookup in a list of millions of children reads as many identifiers, and a seek
// and a read apiece would cost a system call each. Bytes the stream cannot
// deliver read as zeros, as the file's own reads give them.
class Identifiers {
public:
    explicit Identifiers(RIFF::File& file) : window(file) {}
    // The chunk's id.
    FourCC id(RIFF::Chunk& chunk);
    // A path step's type test: the chunk's id is `type`, or it is a list whose
    // list type is `type`.
    bool passes(RIFF::Chunk& chunk, FourCC type);

private:
    FourCC at(std::uint64_t offset);
    RIFF::detail::Window window;
};

// Walks a path from the root of `file` and returns the loaded chunk object it
// selects (a RIFF List when the chunk is a list). Throws as the lookup does.
RIFF::Chunk& select(RIFF::File& file, std::string_view path);

}  // namespace Tav::Format::Ostrane::detail

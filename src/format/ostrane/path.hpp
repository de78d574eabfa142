#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include <tav/format/fourcc.hpp>

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

// Walks a path from the root of `file` and returns the loaded chunk object it
// selects (a RIFF List when the chunk is a list). Throws as the lookup does.
RIFF::Chunk& select(RIFF::File& file, std::string_view path);

}  // namespace Tav::Format::Ostrane::detail

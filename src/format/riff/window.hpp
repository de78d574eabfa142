// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Tav::Format::RIFF {
class File;
}

namespace Tav::Format::RIFF::detail {

// Reads many small pieces of a file's stream (the headers of a tree walk, the
// texts of a table) through a window of the stream. Seeking an std::ifstream
// discards its buffer, so a seek and a read per piece would cost a system call
// each; the window reads the stream in blocks instead, only within the stream's
// extent, and leaves the stream as reading piece by piece would.
class Window {
public:
    explicit Window(File& file);

    // Copies `bytes` bytes at `offset` (from the form's header) to `out`.
    // False when they do not lie wholly within the stream or the stream fails to
    // deliver them; once the stream has failed, every later fetch fails too.
    bool fetch(std::uint64_t offset, std::size_t bytes, void* out);

    // Bytes from the form's header to the stream's end.
    std::uint64_t size() const noexcept { return extent; }

    // Puts the stream where reading the last piece alone would have left it.
    void finish();

private:
    File& file;
    std::uint64_t extent;
    std::vector<unsigned char> block;
    std::uint64_t blockStart = 0;
    std::uint64_t lastEnd = 0;  // end of the last piece delivered; 0 for none
    bool broken = false;        // the stream failed a block read
};

}  // namespace Tav::Format::RIFF::detail

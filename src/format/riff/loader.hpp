#pragma once

#include <cstdint>
#include <vector>

#include <tav/format/fourcc.hpp>

namespace Tav::Format::RIFF {
class File;
}

namespace Tav::Format::RIFF::detail {

// Reads chunk headers for a tree walk. Seeking an std::ifstream discards its
// buffer, so reading header by header would cost a system call per chunk; the
// loader reads the stream in blocks instead, only within the stream's extent,
// and leaves the stream as header-by-header reading would.
class Loader {
public:
    explicit Loader(File& file);

    // Reads the 8-byte header at `offset`. False when the header does not lie
    // wholly within the stream or the stream fails to deliver it.
    bool header(std::uint32_t offset, FourCC& id, std::uint32_t& length);

    // Counts one more chunk. Headers of a sound file never overlap, so a walk
    // that finds more chunks than the stream has room for is going in circles.
    void admit();

    // Puts the stream where the last header read would have left it.
    void finish();

private:
    bool fill(std::uint64_t offset);

    File& file;
    std::uint64_t extent;
    std::vector<unsigned char> window;
    std::uint64_t windowStart = 0;
    std::uint64_t lastEnd = 0;  // end of the last header delivered; 0 for none
    std::uint64_t room;         // chunks still admitted
    bool broken = false;        // the stream failed a block read
};

}  // namespace Tav::Format::RIFF::detail

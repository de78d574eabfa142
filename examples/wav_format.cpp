// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// Prints the sound format of a WAV file from its "fmt " chunk. WAV files, like
// AVI and WebP, are in the published RIFF length convention: lengths count the
// form and list types, and a chunk of odd length is followed by a pad byte.
//
//   wav_format sound.wav
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>

#include <tav/tav.hpp>

namespace {

// Fields of the "fmt " chunk are little-endian.
std::uint32_t le(const char* at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(at[i]);
    return value;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: wav_format FILE.wav\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "wav_format: cannot open " << argv[1] << '\n';
        return 1;
    }
    try {
        using namespace Tav::Format::RIFF;
        File file(in, Convention::Published);  // the stream must outlive the file
        if (std::memcmp(file.type().chars, "WAVE", 4) != 0) {
            std::cerr << "wav_format: " << argv[1] << " is RIFF but not WAVE\n";
            return 1;
        }
        for (std::int32_t i = 0; i < file.count(); ++i) {
            Chunk& chunk = file[static_cast<std::uint32_t>(i)];
            if (std::memcmp(chunk.type().chars, "fmt ", 4) != 0) continue;
            if (chunk.length() < 16) break;
            const char* fmt = chunk.open();  // the chunk's own buffer, until close()
            std::cout << "format " << le(fmt, 2) << ", " << le(fmt + 2, 2) << " channel(s), " << le(fmt + 4, 4)
                      << " Hz, " << le(fmt + 14, 2) << " bits\n";
            chunk.close();
            return 0;
        }
        std::cerr << "wav_format: " << argv[1] << " has no fmt chunk\n";
    } catch (std::exception* e) {  // the library throws pointers; the catcher deletes them
        std::unique_ptr<std::exception> owned(e);
        std::cerr << "wav_format: " << argv[1] << ": " << owned->what() << '\n';
    }
    return 1;
}

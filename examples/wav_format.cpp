// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// Prints the sound format of a WAV file from its "fmt " chunk, whatever the
// file is: RIFF, big-endian RIFX, RF64 or BW64 past 4 GiB, Sony Wave64. The
// library finds what the stream holds and how to read it (identify); WAV files,
// like AVI and WebP, are in the published RIFF length convention.
//
//   wav_format sound.wav
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>

#include <tav/tav.hpp>

namespace {

// A field of the "fmt " chunk: big-endian in a RIFX file, little-endian elsewhere.
std::uint32_t field(const char* at, int bytes, bool bigEndian) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = value << 8 | static_cast<unsigned char>(at[bigEndian ? i : bytes - 1 - i]);
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
        const Kind kind = identify(in);
        File file(in, kind.convention);  // the stream must outlive the file
        // Wave64 registers its form and chunk GUIDs under lower-case codes.
        if (std::memcmp(file.type().chars, "WAVE", 4) != 0 && std::memcmp(file.type().chars, "wave", 4) != 0) {
            std::cerr << "wav_format: " << argv[1] << " is RIFF but not WAVE\n";
            return 1;
        }
        const bool big = kind.family == Family::RIFX;
        for (std::int32_t i = 0; i < file.count(); ++i) {
            Chunk& chunk = file[static_cast<std::uint32_t>(i)];
            if (std::memcmp(chunk.type().chars, "fmt ", 4) != 0) continue;
            if (chunk.length() < 16) break;
            const char* fmt = chunk.open();  // the chunk's own buffer, until close()
            std::cout << "format " << field(fmt, 2, big) << ", " << field(fmt + 2, 2, big) << " channel(s), "
                      << field(fmt + 4, 4, big) << " Hz, " << field(fmt + 14, 2, big) << " bits\n";
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

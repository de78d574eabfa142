// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

// How tavtool reads and writes files: "-" is standard input or output, errors
// name the file and give the system's own reason, and an output is replaced
// whole or not at all.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <istream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <tav/format/riff/file.hpp>

namespace tavtool {

// An error whose message already names the file it is about.
struct FileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// How messages name a path: "standard input" or "standard output" for "-".
std::string shownInput(const std::string& path);
std::string shownOutput(const std::string& path);

// FILE, or standard input for "-", for reading from start to end; a pipe or a
// device stays one. Throws FileError ("FILE: No such file or directory",
// "FILE: Is a directory", ...).
std::unique_ptr<std::istream> openInput(const std::string& path);

// The size of the regular file `path`, for a progress line; 0 for standard
// input, a pipe or a device, whose size is not known ahead.
std::uint64_t inputSize(const std::string& path);

// The same, but seekable, as the RIFF reader needs: standard input, pipes and
// devices are read into a temporary file first, which goes with the stream.
std::unique_ptr<std::istream> openSeekable(const std::string& path);

// The same, for a container or locale file, which are in Tav's length
// convention: a file in the published one (its RIFF length is the file's size -
// 8), which the library would call malformed, is refused with a message that
// says what it is.
std::unique_ptr<std::istream> openContainer(const std::string& path);

// The stream's size; refuses, naming the file, a stream too short for a RIFF
// header or without the signature of a member of the RIFF family ("RIFF",
// "RIFX", "RF64", "BW64", Wave64's "riff").
std::uint64_t riffSize(std::istream& in, const std::string& path);

// The length convention to read the RIFF file `path` in: `choice` is "tav",
// "published" or "auto", which asks the library (Tav::Format::RIFF::identify).
// Tav's convention for a file whose length does not fit, or of another family
// than RIFF, is refused with the numbers and the likely cause.
Tav::Format::RIFF::Convention chooseConvention(std::istream& in, const std::string& choice, const std::string& path);

// Refuses "-" (standard output) for binary output when standard output is a
// terminal, before any work is done, as compressors do: the bytes would only
// garble the screen.
void checkBinaryOutput(const std::string& path);

// Writes `bytes` as the whole of FILE, or to standard output for "-". A regular
// file (or one a symbolic link leads to) is replaced atomically through a
// temporary beside it that takes its permission bits, so that a failure leaves
// the old file as it was and no temporary behind; a link stays a link. Anything
// else (a device, a FIFO) is written in place. Throws FileError.
void writeFile(const std::string& path, const std::string& bytes);

// The same for what `produce` writes to the stream it is given, a block at a
// time: an error it throws leaves a regular file as it was and propagates.
using Producer = std::function<void(std::ostream&)>;
void writeFile(const std::string& path, const Producer& produce);

// The same for the `total` bytes `produce` writes, counted on a progress line
// (progress.hpp) as they pass.
void writeFile(const std::string& path, std::uint64_t total, const Producer& produce);

// A file in the system's temporary directory, removed when this goes: room for
// more bytes than memory holds, or for a library that reads files by name only.
// Throws FileError where it cannot be made, written or read.
class TemporaryFile {
public:
    TemporaryFile();
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::filesystem::path& path() const { return name; }
    std::uint64_t size() const { return end; }
    // Adds bytes at the end, written through to the file.
    void append(const char* bytes, std::size_t n);
    // Reads `n` bytes from offset `at`; they must be there.
    void read(std::uint64_t at, char* bytes, std::size_t n);

private:
    std::filesystem::path name;
    std::filebuf file;
    std::uint64_t end = 0;
};

// The program's arguments as UTF-8: argv itself on POSIX systems; on Windows
// the UTF-16 command line, converted.
std::vector<std::string> commandLine(int argc, char** argv);

// On Windows, where standard output or error is a console, their text is shown
// as written (UTF-8 converted for the console); elsewhere, and for redirected
// output, bytes go out as they are.
void showTextOnConsole();

}  // namespace tavtool

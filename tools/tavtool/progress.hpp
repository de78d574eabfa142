// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

// One line of progress on standard error while long work runs, as pv and curl
// show it: the bytes done, of the total where it is known, the rate and the time
// left. Shown only where standard error is a terminal and --quiet was not
// given, only once the work has run a second, redrawn at most ten times a
// second, and erased when the work ends.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>

namespace tavtool {

// The line shown once `done` bytes of `total` (0 where it is not known) took
// `seconds`: "tavtool: 12.3 MB of 2.20 GB, 0%, 12.3 MB/s, 2 min 58 s left".
std::string progressLine(std::uint64_t done, std::uint64_t total, double seconds);

class Progress {
public:
    // Work of `total` bytes (0 where it is not known) begins. tavtool runs one
    // piece of work at a time: the meter made last is the one the work reports to.
    explicit Progress(std::uint64_t total = 0);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // Reports to the meter at work, if any: `done` bytes are done, or `bytes`
    // more. Cheap enough for every block: the clock is read only every few
    // hundred kilobytes.
    static void at(std::uint64_t done) {
        if (current && done >= current->nextLook) current->look(done);
    }
    static void add(std::uint64_t bytes) {
        if (current) at(current->done += bytes);
    }

    // --quiet: no meter shows anything.
    static bool quiet;

    // An output stream's buffer that counts what passes through it to `to`.
    class Counted : public std::streambuf {
    public:
        explicit Counted(std::ostream& to) : to(*to.rdbuf()) {}

    protected:
        std::streamsize xsputn(const char* bytes, std::streamsize n) override;
        int_type overflow(int_type c) override;
        int sync() override { return to.pubsync(); }

    private:
        std::streambuf& to;
    };

private:
    void look(std::uint64_t done);
    void draw();

    using Clock = std::chrono::steady_clock;
    std::uint64_t total, done = 0, nextLook = 0;
    Clock::time_point start = Clock::now(), drawn;
    std::size_t shown = 0;  // the length of the line on the screen
    bool shows;
    Progress* outer;
    static Progress* current;
};

}  // namespace tavtool

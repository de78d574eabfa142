// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include "progress.hpp"

#include <cstdio>
#include <string>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tavtool {

namespace {

constexpr std::uint64_t lookEvery = 256 * 1024;
constexpr std::chrono::milliseconds firstDraw(1000), redraw(100);

bool terminalError() {
#if defined(_WIN32)
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

// Bytes as people read them: 950 B, 12.3 MB, 2.20 GB.
std::string amount(double bytes) {
    const char* units[] = {"B", "kB", "MB", "GB", "TB"};
    int unit = 0;
    while (bytes >= 1000 && unit < 4) bytes /= 1000, ++unit;
    char text[32];
    std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : bytes < 10 ? "%.2f %s" : bytes < 100 ? "%.1f %s" : "%.0f %s",
                  bytes, units[unit]);
    return text;
}

std::string duration(double seconds) {
    const auto s = static_cast<long long>(seconds + 0.5);
    char text[32];
    if (s < 60)
        std::snprintf(text, sizeof text, "%lld s", s);
    else if (s < 3600)
        std::snprintf(text, sizeof text, "%lld min %02lld s", s / 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%lld h %02lld min", s / 3600, s / 60 % 60);
    return text;
}

}  // namespace

bool Progress::quiet = false;
Progress* Progress::current = nullptr;

Progress::Progress(std::uint64_t total) : total(total), shows(!quiet && terminalError()), outer(current) {
    if (!shows) nextLook = ~std::uint64_t{0};
    current = this;
}

Progress::~Progress() {
    current = outer;
    if (shown == 0) return;
    // Erased with spaces rather than an escape sequence, which not every console takes.
    std::fprintf(stderr, "\r%*s\r", static_cast<int>(shown), "");
    std::fflush(stderr);
}

void Progress::look(std::uint64_t now) {
    done = now;
    nextLook = now + lookEvery;
    const Clock::time_point time = Clock::now();
    if (time - start < firstDraw || (shown && time - drawn < redraw)) return;
    drawn = time;
    draw();
}

std::string progressLine(std::uint64_t done, std::uint64_t total, double seconds) {
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
    std::string line = "tavtool: " + amount(static_cast<double>(done));
    if (total >= done && total > 0) {
        line += " of " + amount(static_cast<double>(total)) + ", " +
                std::to_string(static_cast<int>(100.0 * static_cast<double>(done) / static_cast<double>(total))) + "%";
    }
    line += ", " + amount(rate) + "/s";
    if (total > done && rate > 0) line += ", " + duration(static_cast<double>(total - done) / rate) + " left";
    return line;
}

void Progress::draw() {
    std::string line = progressLine(done, total, std::chrono::duration<double>(drawn - start).count());
    const std::size_t length = line.size();
    if (length < shown) line.append(shown - length, ' ');  // over what a longer line left
    shown = length > shown ? length : shown;
    std::fprintf(stderr, "\r%s", line.c_str());
    std::fflush(stderr);
}

std::streamsize Progress::Counted::xsputn(const char* bytes, std::streamsize n) {
    const std::streamsize written = to.sputn(bytes, n);
    if (written > 0) Progress::add(static_cast<std::uint64_t>(written));
    return written;
}

Progress::Counted::int_type Progress::Counted::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const int_type put = to.sputc(traits_type::to_char_type(c));
    if (!traits_type::eq_int_type(put, traits_type::eof())) Progress::add(1);
    return put;
}

}  // namespace tavtool

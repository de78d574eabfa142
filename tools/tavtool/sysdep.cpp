// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include "sysdep.hpp"

#include <stdexcept>

namespace tavtool {

namespace {

// The length modifier each target's <inttypes.h> puts before the conversion, by
// the integer type's class (from glibc's, MinGW-w64's and MSVC's headers).
struct Target {
    const char* size8;   // 8, LEAST8, FAST8
    const char* size16;  // 16, LEAST16
    const char* size32;  // 32, LEAST32
    const char* fast;    // FAST16, FAST32
    const char* wide;    // 64, LEAST64, FAST64, MAX
    const char* pointer; // PTR
};

constexpr Target targets[sysdepTargets] = {
    {"", "", "", "l", "l", "l"},        // 64-bit glibc
    {"", "", "", "", "ll", ""},         // 32-bit glibc
    {"", "", "", "", "ll", "ll"},       // 64-bit MinGW-w64, its C99 printf (UCRT, __USE_MINGW_ANSI_STDIO)
    {"", "", "", "", "I64", "I64"},     // 64-bit MinGW-w64, msvcrt's printf
    {"", "", "", "", "ll", ""},         // 32-bit MinGW-w64, its C99 printf
    {"", "", "", "", "I64", ""},        // 32-bit MinGW-w64, msvcrt's printf
    {"hh", "h", "", "", "ll", "ll"},    // 64-bit MSVC
    {"hh", "h", "", "", "ll", ""},      // 32-bit MSVC
};

}  // namespace

const char* const sysdepTargetNames[sysdepTargets] = {"glibc-64", "glibc-32", "mingw-64", "mingw-64-msvcrt",
                                                      "mingw-32", "mingw-32-msvcrt", "msvc-64", "msvc-32"};

std::size_t hostTarget() {
    // Each C library's 64-bit target comes before its 32-bit one.
#if defined(_MSC_VER)
    return sizeof(void*) == 8 ? 6 : 7;
#elif defined(__MINGW32__) && __USE_MINGW_ANSI_STDIO
    return sizeof(void*) == 8 ? 2 : 4;
#elif defined(__MINGW32__)
    return sizeof(void*) == 8 ? 3 : 5;
#else
    return sizeof(long) == 8 ? 0 : 1;
#endif
}

std::optional<std::string> expandSegment(std::string_view segment, std::size_t target) {
    if (segment == "I") return std::string("I");  // GNOME's flag for the locale's own digits
    if (segment.size() < 5 || segment.substr(0, 3) != "PRI" ||
        std::string_view("diouxX").find(segment[3]) == std::string_view::npos)
        return std::nullopt;
    const Target& t = targets[target];
    std::string_view size = segment.substr(4);
    for (std::string_view prefix : {"LEAST", "FAST"})
        if (size.substr(0, prefix.size()) == prefix) {
            size.remove_prefix(prefix.size());
            if (prefix == "FAST" && (size == "16" || size == "32")) return t.fast + std::string(1, segment[3]);
        }
    const char* modifier = size == "8"    ? t.size8
                           : size == "16" ? t.size16
                           : size == "32" ? t.size32
                           : size == "64" ? t.wide
                                          : nullptr;
    if (segment.substr(4) == "MAX") modifier = t.wide;
    if (segment.substr(4) == "PTR") modifier = t.pointer;
    if (!modifier) return std::nullopt;
    return modifier + std::string(1, segment[3]);
}

namespace {

// Where the '<' of the next "%<NAME>" directive stands, from `from` on: after a
// '%' and its flags, width and precision ("%%" is a percent sign).
std::size_t nextSegment(std::string_view text, std::size_t from) {
    for (std::size_t at = text.find('%', from); at != std::string_view::npos; at = text.find('%', at + 1)) {
        std::size_t end = at + 1;
        while (end < text.size() && std::string_view("-+ #0'I123456789.*$").find(text[end]) != std::string_view::npos) ++end;
        if (end < text.size() && text[end] == '<') return end;
        if (end < text.size() && text[end] == '%') at = end;
    }
    return std::string_view::npos;
}

}  // namespace

bool hasSegments(std::string_view text) { return nextSegment(text, 0) != std::string_view::npos; }

std::string expandSegments(std::string_view text, std::size_t target) {
    std::string out;
    std::size_t copied = 0;
    for (std::size_t open = nextSegment(text, 0); open != std::string_view::npos; open = nextSegment(text, copied)) {
        const std::size_t close = text.find('>', open);
        const std::string_view name = text.substr(open + 1, close == std::string_view::npos ? close : close - open - 1);
        const std::optional<std::string> expansion = close == std::string_view::npos ? std::nullopt : expandSegment(name, target);
        if (!expansion) throw std::invalid_argument("unknown system-dependent segment \"<" + std::string(name.substr(0, 80)) + ">\"");
        out.append(text.substr(copied, open - copied)) += *expansion;
        copied = close + 1;
    }
    return out.append(text.substr(copied));
}

}  // namespace tavtool

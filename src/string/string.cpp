// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <tav/string/string.hpp>

#include <cstdarg>
#include <cstdio>

namespace Tav::String {

std::vector<std::string> Explode(std::string text, char delimiter, unsigned int limit) {
    std::vector<std::string> pieces;
    std::size_t at = 0;
    // The counter runs 32-bit like the limit, so a limit of 0 is never reached.
    for (unsigned int counter = 1; at < text.size(); ++counter) {
        const std::size_t stop = text.find(delimiter, at);
        const std::size_t end = stop == std::string::npos ? text.size() : stop;
        pieces.emplace_back(text, at, end - at);
        at = stop == std::string::npos ? text.size() : stop + 1;
        if (counter == limit) break;
    }
    return pieces;
}

std::string* Format(const char* format, ...) {
    char buffer[1024];
    std::va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    // On a formatting error the buffer's contents are unspecified: return nothing of them.
    if (written < 0) buffer[0] = '\0';
    return new std::string(buffer);
}

}  // namespace Tav::String

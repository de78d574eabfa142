// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

// Bytes shown as text in tavtool's output and messages.

#include <cstddef>
#include <string>
#include <string_view>

namespace tavtool {

// The length of the valid UTF-8 character that starts at s[i] (shortest form,
// no surrogates, at most U+10FFFF), or 0 where none does.
inline std::size_t utf8Length(std::string_view s, std::size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) return 1;
    const std::size_t extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
    if (c < 0xC2 || c > 0xF4 || s.size() - i <= extra) return 0;
    char32_t point = c & (0x3F >> extra);
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        point = point << 6 | (b & 0x3F);
    }
    const char32_t least[] = {0, 0x80, 0x800, 0x10000};
    if (point < least[extra] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return 0;
    return extra + 1;
}

// Appends a code point as UTF-8.
inline void appendUtf8(std::string& into, char32_t point) {
    if (point < 0x80) {
        into += static_cast<char>(point);
    } else if (point < 0x800) {
        into += static_cast<char>(0xC0 | point >> 6);
        into += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        into += static_cast<char>(0xE0 | point >> 12);
        into += static_cast<char>(0x80 | (point >> 6 & 0x3F));
        into += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        into += static_cast<char>(0xF0 | point >> 18);
        into += static_cast<char>(0x80 | (point >> 12 & 0x3F));
        into += static_cast<char>(0x80 | (point >> 6 & 0x3F));
        into += static_cast<char>(0x80 | (point & 0x3F));
    }
}

// The length of `bytes` up to the start of a UTF-8 character that their end
// cuts off, whose bytes must wait for the rest (all of them where none is cut).
inline std::size_t wholeCharacters(std::string_view bytes) {
    for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
        const auto b = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((b & 0xC0) == 0x80) continue;  // a continuation byte
        const std::size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return length > back ? bytes.size() - back : bytes.size();
    }
    return bytes.size();
}

// Bytes as they can stand on a terminal: valid UTF-8 as it is, control
// characters (C0, DEL, C1), the backslash and bytes that are no UTF-8 as \xNN.
inline std::string printable(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const std::size_t n = utf8Length(bytes, i);
        const bool control = c < 0x20 || c == 0x7F || c == '\\' ||
                             (c == 0xC2 && n == 2 && static_cast<unsigned char>(bytes[i + 1]) < 0xA0);
        if (n > 0 && !control) {
            out.append(bytes.substr(i, n));
            i += n;
            continue;
        }
        for (std::size_t k = 0; k < (n ? n : 1); ++k, ++i) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            out += "\\x";
            out += digits[b >> 4];
            out += digits[b & 15];
        }
    }
    return out;
}

// At most `limit` bytes of a text for a message, cut before a whole UTF-8
// character and marked "..." where cut: a message must stay readable however
// long the text it quotes.
inline std::string excerpt(std::string_view text, std::size_t limit = 80) {
    if (text.size() <= limit) return std::string(text);
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return std::string(text.substr(0, cut)) + "...";
}

}  // namespace tavtool

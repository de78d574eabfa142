// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// The bytes of a POSIX terminal decoded into the fields of a Windows key record:
// the legacy encodings of xterm, rxvt, the Linux console, st and PuTTY, xterm's
// modifyOtherKeys, the kitty keyboard protocol, UTF-8, and the terminal's
// replies to the reader's queries.
#include "io/key_decoder_posix.hpp"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace Tav::IO::posix {

namespace {

constexpr unsigned shift = 0x0010, ctrl = 0x0008, alt = 0x0002;  // the Windows control-key flags
// How long a lone Escape waits for the rest of a sequence. Terminals send a
// sequence in one write, so its bytes arrive together; a person is slower.
constexpr int sequenceWaitMs = 50;

Record key(unsigned short code, unsigned flags = 0, char16_t character = 0) { return {code, character, flags}; }

// A modifier parameter: 1 plus a bit mask of Shift 1, Alt 2 and Ctrl 4; `meta`
// is the bit that also counts as Alt (xterm's Meta 8; the kitty protocol's Meta
// 32, whose 8 is Super).
unsigned modifiers(long parameter, long meta = 8) {
    const long bits = parameter > 1 ? parameter - 1 : 0;
    return (bits & 1 ? shift : 0) | (bits & (2 | meta) ? alt : 0) | (bits & 4 ? ctrl : 0);
}

// The virtual-key code of an unshifted US-layout character, or 0.
unsigned short keyOf(int c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned short>(c - 'a' + 0x41);
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned short>(c);
    if (c >= '0' && c <= '9') return static_cast<unsigned short>(c);
    switch (c) {
        case ' ': return 0x20;
        case ';': return 0xBA;
        case '=': return 0xBB;
        case ',': return 0xBC;
        case '-': return 0xBD;
        case '.': return 0xBE;
        case '/': return 0xBF;
        case '`': return 0xC0;
        case '[': return 0xDB;
        case '\\': return 0xDC;
        case ']': return 0xDD;
        case '\'': return 0xDE;
        default: return 0;
    }
}

// A typed character as UTF-16: one outside the Basic Multilingual Plane gives two
// events, high surrogate first, as a Windows console gives two records.
Record character(char32_t c) {
    if (c <= 0xFFFF) return key(0, 0, static_cast<char16_t>(c));
    c -= 0x10000;
    Record r = key(0, 0, static_cast<char16_t>(0xD800 + (c >> 10)));
    r.low = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    return r;
}

// The keys that CSI and SS3 sequences share, by their final byte.
Record cursorKey(int final, unsigned flags) {
    switch (final) {
        case 'A': return key(0x26, flags);
        case 'B': return key(0x28, flags);
        case 'C': return key(0x27, flags);
        case 'D': return key(0x25, flags);
        case 'H': return key(0x24, flags);
        case 'F': return key(0x23, flags);
        case 'P': case 'Q': case 'R': case 'S': return key(static_cast<unsigned short>(0x70 + final - 'P'), flags);
        default: return {};
    }
}

// Keys that the kitty keyboard protocol numbers in the Private Use Area, with
// their virtual-key codes and the character the key types without modifiers.
struct NumberedKey {
    char32_t code;
    unsigned short key;
    char16_t text;
};
constexpr NumberedKey numberedKeys[] = {
    {57358, 0x14, 0},    {57359, 0x91, 0},    {57360, 0x90, 0},    {57361, 0x2C, 0},    {57362, 0x13, 0},
    {57363, 0x5D, 0},    {57376, 0x7C, 0},    {57377, 0x7D, 0},    {57378, 0x7E, 0},  // ... F13 to F15
    {57409, 0x6E, '.'},  {57410, 0x6F, '/'},  {57411, 0x6A, '*'},  {57412, 0x6D, '-'},  {57413, 0x6B, '+'},
    {57414, 0x0D, 0x0D}, {57415, 0x92, '='},  {57417, 0x25, 0},    {57418, 0x27, 0},    {57419, 0x26, 0},
    {57420, 0x28, 0},    {57421, 0x21, 0},    {57422, 0x22, 0},    {57423, 0x24, 0},    {57424, 0x23, 0},
    {57425, 0x2D, 0},    {57426, 0x2E, 0},    {57428, 0xB3, 0},    {57429, 0xB3, 0},    {57430, 0xB3, 0},
    {57432, 0xB2, 0},    {57435, 0xB0, 0},    {57436, 0xB1, 0},    {57438, 0xAE, 0},    {57439, 0xAF, 0},
    {57440, 0xAD, 0},    {57441, 0xA0, 0},    {57442, 0xA2, 0},    {57443, 0xA4, 0},    {57444, 0x5B, 0},
    {57447, 0xA1, 0},    {57448, 0xA3, 0},    {57449, 0xA5, 0},    {57450, 0x5C, 0},
};

// A key reported by its code, as modifyOtherKeys ("CSI 27 ; modifiers ; code ~")
// and the kitty protocol ("CSI code ; modifiers u") report it: the code is the
// key's unshifted character or one of the numbers above.
Record reportedKey(long code, unsigned flags) {
    switch (code) {
        case 0x09: return key(0x09, flags, 0x09);
        case 0x0D: return key(0x0D, flags, 0x0D);
        case 0x1B: return key(0x1B, flags, 0x1B);
        case 0x08: case 0x7F: return key(0x08, flags, 0x08);
        default: break;
    }
    if (code >= 57399 && code <= 57408) {  // keypad digits
        const auto digit = static_cast<unsigned short>(code - 57399);
        return key(static_cast<unsigned short>(0x60 + digit), flags, flags ? 0 : static_cast<char16_t>('0' + digit));
    }
    for (const NumberedKey& k : numberedKeys)
        if (static_cast<long>(k.code) == code) return key(k.key, flags, flags ? 0 : k.text);
    // No character: controls, surrogates, and the Private Use Area, where the
    // kitty protocol numbers keys (those above are the ones with events).
    if (code < 0x20 || code > 0x10FFFF || (code >= 0x7F && code < 0xA0) || (code >= 0xD800 && code <= 0xF8FF))
        return {};
    const auto c = static_cast<char32_t>(code);
    // Ctrl or Alt with a key of the US layout gives the key's own event, as the
    // console does; otherwise the key types its character, capital with Shift.
    if (flags & (ctrl | alt) && keyOf(static_cast<int>(c))) return key(keyOf(static_cast<int>(c)), flags);
    return character(flags == shift && c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
}

// "CSI n ~" keys (vt220, xterm, the Linux console, rxvt).
Record tildeKey(long n, unsigned flags) {
    switch (n) {
        case 1: case 7: return key(0x24, flags);  // Home
        case 2: return key(0x2D, flags);          // Insert
        case 3: return key(0x2E, flags);          // Delete
        case 4: case 8: return key(0x23, flags);  // End
        case 5: return key(0x21, flags);          // Page Up
        case 6: return key(0x22, flags);          // Page Down
        case 11: case 12: case 13: case 14: case 15: return key(static_cast<unsigned short>(0x70 + n - 11), flags);
        case 17: case 18: case 19: case 20: case 21: return key(static_cast<unsigned short>(0x75 + n - 17), flags);
        case 23: case 24: return key(static_cast<unsigned short>(0x7A + n - 23), flags);  // F11, F12
        case 25: case 26: return key(static_cast<unsigned short>(0x7C + n - 25), flags);  // F13, F14
        case 28: return key(0x7E, flags);                                                  // F15
        default: return {};
    }
}

// Alt with a key: a typed character gives the key's Alt form, as a console
// reporting the key without its character would.
Record withAlt(Record r) {
    if (r.character >= 0x20 && keyOf(r.character)) r = key(keyOf(r.character));
    r.flags |= alt;
    return r;
}

}  // namespace

int KeyDecoder::follow() { return next(sequenceWaitMs); }

// A reply to the queries: the kitty protocol's flags ("CSI ? flags u"), the
// primary ("CSI ? ... c") and secondary ("CSI > ... c") device attributes.
// Replies that come after the first read stopped waiting count from the next
// read on; any after the primary attributes (a terminal that takes "CSI > c"
// for "CSI c" answers twice) are consumed and change nothing.
Record KeyDecoder::reply(int marker, int final, const std::vector<long>& numbers) {
    Record r;
    r.reply = true;
    if (marker == '?' && final == 'u') {
        replies.kitty = replies.kitty || !replies.primary;
    } else if (marker == '>' && final == 'c') {
        if (!replies.primary) replies.secondary = numbers;
    } else if (marker == '?' && final == 'c') {
        if (!replies.primary) {
            replies.primary = true;
            terminal = judge(replies, std::getenv("TERM"));
        }
    } else {
        return {};
    }
    return r;
}

// A control sequence after "ESC [": parameter bytes, then one final byte. The
// whole sequence is consumed even when it means nothing here.
Record KeyDecoder::csi() {
    int b = follow();
    if (b == '[') {  // the Linux console's F1 to F5: "ESC [ [ A" to "ESC [ [ E"
        const int f = follow();
        return f >= 'A' && f <= 'E' ? key(static_cast<unsigned short>(0x70 + f - 'A')) : Record{};
    }
    if (b == 'M') {  // an X10 mouse report: three raw bytes follow at once
        if (follow() < 0) return key(0x2E, ctrl);  // none: st's Ctrl+Delete in numeric keypad mode
        follow();
        follow();
        return {};
    }
    int marker = 0;  // a private marker ('<' to '?') before the parameters
    if (b >= 0x3C && b <= 0x3F) {
        marker = b;
        b = follow();
    }
    // Parameters: numbers apart by ';', each perhaps with ':' sub-parameters
    // (the kitty protocol's alternate keys), of which the first counts. A number
    // too large for any key saturates, so that it names none; numbers past the
    // sixteenth (attribute replies list many) are not kept.
    constexpr long tooLarge = 0x110000;
    constexpr std::size_t kept = 16;
    std::vector<long> numbers{0};
    bool plain = true;  // only digits, ':' and ';': no further private or intermediate bytes
    bool skip = false;  // digits that do not count
    for (; b >= 0x20 && b <= 0x3F; b = follow()) {
        if (b >= '0' && b <= '9') {
            if (!skip) numbers.back() = std::min(numbers.back() * 10 + (b - '0'), tooLarge);
        } else if (b == ':') {
            skip = true;
        } else if (b == ';') {
            skip = numbers.size() == kept;
            if (!skip) numbers.push_back(0);
        } else if (b == '$' && !marker) {
            break;  // rxvt's final byte for Shift with an editing key, though an intermediate byte elsewhere
        } else {
            plain = false;
        }
    }
    if ((b < 0x40 && b != '$') || b > 0x7E || !plain) return {};
    if (marker) return reply(marker, b, numbers);
    const unsigned flags = numbers.size() > 1 ? modifiers(numbers[1]) : 0;
    switch (b) {
        case 'Z': return key(0x09, shift, 0x09);  // Shift+Tab
        case 'u': return reportedKey(numbers[0], numbers.size() > 1 ? modifiers(numbers[1], 32) : 0);
        case '~':
            if (numbers[0] == 27) return numbers.size() == 3 ? reportedKey(numbers[2], flags) : Record{};
            return tildeKey(numbers[0], flags);
        case '$': return tildeKey(numbers[0], shift);         // rxvt
        case '^': return tildeKey(numbers[0], ctrl);          // rxvt
        case '@': return tildeKey(numbers[0], ctrl | shift);  // rxvt
        case 'a': case 'b': case 'c': case 'd': return cursorKey(b - 'a' + 'A', shift);  // rxvt Shift+arrows
        case 'J': return numbers[0] == 2 ? key(0x24, shift) : Record{};  // st's Shift+Home in normal cursor mode
        default: return cursorKey(b, flags);
    }
}

// A sequence after "ESC O": cursor and function keys in application mode, and the keypad.
Record KeyDecoder::ss3() {
    int b = follow();
    int modifier = 0;
    for (; b >= '0' && b <= '9'; b = follow()) modifier = modifier < 100 ? modifier * 10 + (b - '0') : modifier;
    const unsigned flags = modifiers(modifier);
    if (b >= 'p' && b <= 'y') return key(static_cast<unsigned short>(0x60 + b - 'p'), flags);  // keypad 0 to 9
    switch (b) {
        case 'M': return key(0x0D, flags, 0x0D);  // keypad Enter
        case 'j': return key(0x6A, flags);
        case 'k': return key(0x6B, flags);
        case 'm': return key(0x6D, flags);
        case 'n': return key(0x6E, flags);
        case 'o': return key(0x6F, flags);
        case 'X': return key(0x92, flags);  // keypad equals
        case 'a': case 'b': case 'c': case 'd': return cursorKey(b - 'a' + 'A', ctrl);  // rxvt Ctrl+arrows
        case 'A': case 'B': case 'C': case 'D':
            // PuTTY sends Ctrl with a cursor key in the other cursor mode's form:
            // "ESC O D" for Ctrl+Left while the terminal is in normal cursor mode,
            // which a read leaves as it is.
            return cursorKey(b, terminal.putty && !flags ? ctrl : flags);
        default: return cursorKey(b, flags);
    }
}

// A device control string after "ESC P": XTVERSION's reply is "ESC P > | text
// ESC \". Read only when a parameter or intermediate byte follows at once, so
// that Alt+Shift+P keeps its meaning; it ends at ST, BEL or a pause.
Record KeyDecoder::deviceString() {
    const int first = follow();
    if (first < 0x20 || first > 0x3F) {
        if (first >= 0) back(first);
        return {};
    }
    std::string text(1, static_cast<char>(first));
    for (int b; (b = follow()) >= 0 && b != 0x07;) {
        if (b == 0x1B) {
            if ((b = follow()) >= 0 && b != '\\') back(b);
            break;
        }
        if (text.size() < 256) text += static_cast<char>(b);  // however long the string, no more is kept
    }
    if (!replies.primary && text.rfind(">|", 0) == 0) replies.version = text.substr(2);
    Record r;
    r.reply = true;
    return r;
}

// A UTF-8 character from its first byte; a malformed one gives None.
Record KeyDecoder::utf8(int first) {
    const int extra = first >= 0xF0 ? 3 : first >= 0xE0 ? 2 : 1;
    char32_t c = static_cast<char32_t>(first & (0x3F >> extra));
    for (int i = 0; i < extra; ++i) {
        const int b = follow();
        if (b < 0 || (b & 0xC0) != 0x80) return {};
        c = c << 6 | static_cast<char32_t>(b & 0x3F);
    }
    const char32_t least[] = {0, 0x80, 0x800, 0x10000};
    if (c < least[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {};  // overlong or no character
    return character(c);
}

// ESC: alone it is the Escape key; it may start a sequence, or add Alt to the
// key that follows it.
Record KeyDecoder::escape(int depth) {
    const int b = follow();
    if (b < 0) return key(0x1B, 0, 0x1B);
    if (b == '[') return csi();
    if (b == 'O') return ss3();
    if (depth > 0) return {};  // more than one Alt prefix means nothing
    if (b == 'P') {
        const Record r = deviceString();
        if (r.reply) return r;
    }
    const Record r = decode(b, depth + 1);
    return r.reply ? key(0x1B, 0, 0x1B) : withAlt(r);  // Escape, then a reply
}

Record KeyDecoder::decode(int b, int depth) {
    switch (b) {
        case 0x1B: return escape(depth);
        case 0x7F: case 0x08: return key(0x08, 0, 0x08);  // Backspace, whichever the terminal sends
        case 0x09: return key(0x09, 0, 0x09);
        case 0x0D: case 0x0A: return key(0x0D, 0, 0x0D);  // a cooked terminal turns Enter into LF
        case 0x00: return key(0x20, ctrl, 0x20);          // Ctrl+Space
        case 0x1C: return key(0xDC, ctrl, 0x1C);          // Ctrl+backslash
        case 0x1D: return key(0xDD, ctrl, 0x1D);          // Ctrl+]
        case 0x1E: return key(0x36, ctrl | shift, 0x1E);  // Ctrl+^
        case 0x1F: return key(0xBD, ctrl | shift, 0x1F);  // Ctrl+_
        default: break;
    }
    if (b < 0x20) return key(static_cast<unsigned short>(0x40 + b), ctrl, static_cast<char16_t>(b));  // Ctrl+letter
    if (b < 0x80) return key(keyOf(b), 0, static_cast<char16_t>(b));
    // A lone C1 byte, which no UTF-8 character starts with: the 8-bit meta
    // convention's Alt with the byte less 0x80 (terminology's Alt+Tab is 0x89).
    if (b < 0xA0) return depth > 0 ? Record{} : withAlt(decode(b - 0x80, depth + 1));
    if (b >= 0xC2 && b <= 0xF4) return utf8(b);
    return {};  // a stray continuation or invalid byte
}

}  // namespace Tav::IO::posix

// Key presses from a POSIX terminal, decoded into the fields of a Windows key
// record and translated like one.
#include <atomic>
#include <cerrno>
#include <string>
#include <vector>

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <tav/io/keyboard.hpp>

namespace Tav::IO {

namespace {

constexpr unsigned shift = 0x0010, ctrl = 0x0008, alt = 0x0002;  // the Windows control-key flags
// How long a lone Escape waits for the rest of a sequence. Terminals send a
// sequence in one write, so its bytes arrive together; a person is slower.
constexpr int sequenceWaitMs = 50;

struct Record {
    unsigned short key = 0;  // Windows virtual-key code; 0 with no character gives None
    char16_t character = 0;
    unsigned flags = 0;
};

Record key(unsigned short code, unsigned flags = 0, char16_t character = 0) { return {code, character, flags}; }

// The second half of a character outside the Basic Multilingual Plane, returned
// by the next call as a Windows console delivers it in a second record.
std::atomic<char16_t> pendingLowSurrogate{0};

// Non-canonical, no-echo input for the length of one read; the saved mode is put
// back however the read ends. Ctrl+S, Ctrl+Q, Ctrl+V and Ctrl+O reach the reader
// as keys instead of being taken by the terminal; signals (Ctrl+C, Ctrl+Z) keep working.
class RawMode {
public:
    RawMode() : active(tcgetattr(STDIN_FILENO, &saved) == 0) {
        if (!active) return;
        termios raw = saved;
        raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
        raw.c_iflag &= ~static_cast<tcflag_t>(IXON);
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        active = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
    }
    ~RawMode() {
        if (active) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    }
    RawMode(const RawMode&) = delete;
    RawMode& operator=(const RawMode&) = delete;
    bool ok() const { return active; }

private:
    termios saved{};
    bool active;
};

// The next byte of input, waiting at most `waitMs` (forever when negative); -1
// when none came or the terminal is gone.
int nextByte(int waitMs) {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    int ready;
    do ready = poll(&input, 1, waitMs);
    while (ready < 0 && errno == EINTR);
    if (ready <= 0) return -1;
    unsigned char byte;
    ssize_t got;
    do got = read(STDIN_FILENO, &byte, 1);
    while (got < 0 && errno == EINTR);
    return got == 1 ? byte : -1;
}

int follow() { return nextByte(sequenceWaitMs); }

// xterm's modifier parameter: 1 plus a bit mask of Shift 1, Alt 2, Ctrl 4, Meta 8.
unsigned modifiers(int parameter) {
    const int bits = parameter > 1 ? parameter - 1 : 0;
    return (bits & 1 ? shift : 0) | (bits & (2 | 8) ? alt : 0) | (bits & 4 ? ctrl : 0);
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

// "CSI n ~" keys (vt220, xterm, the Linux console, rxvt).
Record tildeKey(int n, unsigned flags) {
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

// A control sequence after "ESC [": parameter bytes, then one final byte. The
// whole sequence is consumed even when it means nothing here.
Record csi() {
    int b = follow();
    if (b == '[') {  // the Linux console's F1 to F5: "ESC [ [ A" to "ESC [ [ E"
        const int f = follow();
        return f >= 'A' && f <= 'E' ? key(static_cast<unsigned short>(0x70 + f - 'A')) : Record{};
    }
    if (b == 'M') {  // an X10 mouse report: three raw bytes follow
        for (int i = 0; i < 3; ++i) follow();
        return {};
    }
    std::vector<int> numbers{0};
    bool plain = true;  // only digits and semicolons: no private or intermediate bytes
    for (; b >= 0x20 && b <= 0x3F; b = follow()) {
        if (b >= '0' && b <= '9') {
            numbers.back() = numbers.back() < 10000 ? numbers.back() * 10 + (b - '0') : numbers.back();
        } else if (b == ';' && numbers.size() < 8) {
            numbers.push_back(0);
        } else {
            plain = false;
        }
    }
    if (b < 0x40 || b > 0x7E || !plain) return {};
    const unsigned flags = numbers.size() > 1 ? modifiers(numbers[1]) : 0;
    switch (b) {
        case 'Z': return key(0x09, shift, 0x09);  // Shift+Tab
        case '~': return tildeKey(numbers[0], flags);
        case '$': return tildeKey(numbers[0], shift);         // rxvt
        case '^': return tildeKey(numbers[0], ctrl);          // rxvt
        case '@': return tildeKey(numbers[0], ctrl | shift);  // rxvt
        case 'a': case 'b': case 'c': case 'd': return cursorKey(b - 'a' + 'A', shift);  // rxvt Shift+arrows
        default: return cursorKey(b, flags);
    }
}

// A sequence after "ESC O": cursor and function keys in application mode, and the keypad.
Record ss3() {
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
        default: return cursorKey(b, flags);
    }
}

// A UTF-8 character from its first byte, as UTF-16; a malformed one gives None.
Record utf8(int first) {
    const int extra = first >= 0xF0 ? 3 : first >= 0xE0 ? 2 : 1;
    char32_t c = static_cast<char32_t>(first & (0x3F >> extra));
    for (int i = 0; i < extra; ++i) {
        const int b = follow();
        if (b < 0 || (b & 0xC0) != 0x80) return {};
        c = c << 6 | static_cast<char32_t>(b & 0x3F);
    }
    const char32_t least[] = {0, 0x80, 0x800, 0x10000};
    if (c < least[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {};  // overlong or no character
    if (c <= 0xFFFF) return key(0, 0, static_cast<char16_t>(c));
    c -= 0x10000;
    pendingLowSurrogate = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    return key(0, 0, static_cast<char16_t>(0xD800 + (c >> 10)));
}

Record decode(int b, int depth);

// ESC: alone it is the Escape key; it may start a sequence, or add Alt to the
// key that follows it.
Record escape(int depth) {
    const int b = follow();
    if (b < 0) return key(0x1B, 0, 0x1B);
    if (b == '[') return csi();
    if (b == 'O') return ss3();
    if (depth > 0) return {};  // more than one Alt prefix means nothing
    Record r = decode(b, depth + 1);
    // Alt with a typed character gives the key's Alt form, as a console
    // reporting the key without its character would.
    if (r.character >= 0x20 && keyOf(r.character)) r = key(keyOf(r.character));
    r.flags |= alt;
    return r;
}

Record decode(int b, int depth) {
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
    if (b >= 0xC2 && b <= 0xF4) return utf8(b);
    return {};  // a stray continuation or invalid byte
}

}  // namespace

Event GetKeyboardInput() {
    if (const char16_t low = pendingLowSurrogate.exchange(0)) return TranslateKeyRecord(1, true, 0, low, 0);
    if (!isatty(STDIN_FILENO)) return Event::None;
    const RawMode mode;
    if (!mode.ok()) return Event::None;
    const int first = nextByte(-1);
    if (first < 0) return Event::None;
    const Record r = decode(first, 0);
    return TranslateKeyRecord(1, true, r.key, r.character, r.flags);
}

}  // namespace Tav::IO

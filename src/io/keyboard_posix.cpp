// Key presses from a POSIX terminal, decoded into the fields of a Windows key
// record and translated like one. For the time of a read the terminal is asked
// for unambiguous key reports (xterm's modifyOtherKeys, the kitty keyboard
// protocol), so that keys which the legacy encodings merge (Ctrl+Enter and
// Enter, Alt+Tab and a character) arrive apart where the terminal can tell them.
#include <algorithm>
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

// What a read has changed in the terminal and must put back, kept where a
// signal handler can reach it: RestoreTerminal does what the read's own
// clean-up does, once, with async-signal-safe calls only (each flag is taken
// with an exchange, so the handler and the read never both put a thing back).
struct Changes {
    std::atomic<bool> mode{false};     // `saved` is the mode to put back
    std::atomic<bool> reports{false};  // the requests for key reports must be taken back
    termios saved{};
};
Changes changes;
static_assert(std::atomic<bool>::is_always_lock_free, "the flags are read in signal handlers");

// Takes back what KeyReports asked for; nothing once it has been taken back.
constexpr char takeBack[] = "\x1B[<u\x1B[>4m";

bool send(const char* bytes, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = write(STDIN_FILENO, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void restoreMode() noexcept {
    if (changes.mode.exchange(false)) tcsetattr(STDIN_FILENO, TCSANOW, &changes.saved);
}

void takeBackReports() noexcept {
    if (changes.reports.exchange(false)) send(takeBack, sizeof takeBack - 1);
}

// Non-canonical, no-echo input for the length of one read; the saved mode is put
// back however the read ends. Ctrl+S, Ctrl+Q, Ctrl+V and Ctrl+O reach the reader
// as keys instead of being taken by the terminal; signals (Ctrl+C, Ctrl+Z) keep working.
class RawMode {
public:
    RawMode() {
        if (tcgetattr(STDIN_FILENO, &changes.saved) != 0) return;
        termios raw = changes.saved;
        raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
        raw.c_iflag &= ~static_cast<tcflag_t>(IXON);
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        changes.mode = true;  // before the change, so that a signal in between still puts it back
        if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) != 0) changes.mode = false;
        active = changes.mode;
    }
    ~RawMode() { restoreMode(); }
    RawMode(const RawMode&) = delete;
    RawMode& operator=(const RawMode&) = delete;
    bool ok() const { return active; }

private:
    bool active = false;
};

// Unambiguous key reports for the time of one read: xterm's modifyOtherKeys level
// 2 and the kitty protocol's "disambiguate escape codes" (pushed on its stack of
// modes, popped after). Terminals ignore private sequences they do not know, so
// nothing is asked first and a terminal that knows neither costs nothing. The
// sequences go to the terminal device on standard input, never to standard
// output, which may be a file; a terminal opened for reading only is not asked.
// modifyOtherKeys has no stack: it goes back to the terminal's initial setting.
class KeyReports {
public:
    KeyReports() {
        static constexpr char ask[] = "\x1B[>4;2m\x1B[>1u";
        changes.reports = true;
        if (!send(ask, sizeof ask - 1)) changes.reports = false;
    }
    ~KeyReports() { takeBackReports(); }
    KeyReports(const KeyReports&) = delete;
    KeyReports& operator=(const KeyReports&) = delete;
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

// A typed character as UTF-16: one outside the Basic Multilingual Plane gives its
// high surrogate now and leaves the low one for the next call.
Record character(char32_t c) {
    if (c <= 0xFFFF) return key(0, 0, static_cast<char16_t>(c));
    c -= 0x10000;
    pendingLowSurrogate = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    return key(0, 0, static_cast<char16_t>(0xD800 + (c >> 10)));
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
    // Parameters: numbers apart by ';', each perhaps with ':' sub-parameters
    // (the kitty protocol's alternate keys), of which the first counts. A number
    // too large for any key saturates, so that it names none.
    constexpr long tooLarge = 0x110000;
    std::vector<long> numbers{0};
    bool plain = true;  // only digits, ':' and ';': no private or intermediate bytes
    bool sub = false;
    for (; b >= 0x20 && b <= 0x3F; b = follow()) {
        if (b >= '0' && b <= '9') {
            if (!sub) numbers.back() = std::min(numbers.back() * 10 + (b - '0'), tooLarge);
        } else if (b == ':') {
            sub = true;
        } else if (b == ';' && numbers.size() < 8) {
            numbers.push_back(0);
            sub = false;
        } else {
            plain = false;
        }
    }
    if (b < 0x40 || b > 0x7E || !plain) return {};
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

// A UTF-8 character from its first byte; a malformed one gives None.
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
    return character(c);
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
    // Asked before the mode changes and put back after it is restored, so that a
    // terminal in the reading mode has always been asked.
    const KeyReports reports;
    const RawMode mode;
    if (!mode.ok()) return Event::None;
    const int first = nextByte(-1);
    if (first < 0) return Event::None;
    const Record r = decode(first, 0);
    return TranslateKeyRecord(1, true, r.key, r.character, r.flags);
}

// In the order the read's own clean-up takes: the mode, then the requests.
void RestoreTerminal() noexcept {
    restoreMode();
    takeBackReports();
}

}  // namespace Tav::IO

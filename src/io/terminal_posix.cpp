// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include "terminal_posix.hpp"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <utility>

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <tav/io/keyboard.hpp>

namespace Tav::IO {

namespace {

// What a read has changed in the terminal and must put back, kept where a
// signal handler can reach it: RestoreTerminal does what the read's own
// clean-up does, once, with async-signal-safe calls only (each flag is taken
// with an exchange, so the handler and the read never both put a thing back).
struct Changes {
    std::atomic<bool> mode{false};      // `saved` is the mode to put back
    std::atomic<bool> requests{false};  // `takeBack` must be sent
    termios saved{};
    char takeBack[16] = {};  // written only while `requests` is false
    std::size_t takeBackSize = 0;
};
Changes changes;
static_assert(std::atomic<bool>::is_always_lock_free, "the flags are read in signal handlers");

int givenBack = -1;

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

void takeBackRequests() noexcept {
    if (changes.requests.exchange(false)) send(changes.takeBack, changes.takeBackSize);
}

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

namespace posix {

int nextByte(int waitMs) {
    if (givenBack >= 0) return std::exchange(givenBack, -1);
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

void giveBack(int byte) { givenBack = byte; }

// Not every terminal ignores the private sequences it does not know: some take
// the kitty protocol's push and pop for "restore cursor", or xterm's
// modifyOtherKeys for an underline. So each request goes only to a terminal
// whose answers say it takes it.
Terminal judge(const Replies& replies, const char* term) {
    Terminal t;
    std::string name = replies.version;
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    const std::vector<long>& s = replies.secondary;
    const bool secondaryOnly = name.empty() && s.size() == 3;
    // xterm answers XTVERSION from patch 354 on; an older one is known by its
    // secondary attributes: a DEC terminal number, its patch number and 0.
    // Imitators answer lower numbers (PuTTY 136, konsole 115, rxvt-unicode 95)
    // or another last number (VTE and Alacritty 1); mlterm answers 24;279;0
    // and takes modifyOtherKeys too.
    constexpr long decTerminals[] = {0, 1, 2, 18, 19, 24, 41, 61, 64, 65};
    const bool olderXterm = secondaryOnly && s[2] == 0 && s[1] >= 200 && s[1] <= 353 &&
                            std::find(std::begin(decTerminals), std::end(decTerminals), s[0]) != std::end(decTerminals);
    t.kitty = replies.kitty;
    // Terminals that document modifyOtherKeys; the kitty protocol, where there
    // is one, reports more.
    t.otherKeys = !t.kitty && (startsWith(name, "xterm(") || startsWith(name, "tmux ") ||
                               startsWith(name, "mintty ") || olderXterm);
    t.putty = startsWith(name, "putty") || (secondaryOnly && s == std::vector<long>{0, 136, 0});
    // Keypad application mode makes st send its editing keys as "CSI n ~"
    // (numeric mode sends "CSI P" for Delete, "CSI 4 h" for Insert, ...), and
    // st's terminal description asks for it. Elsewhere it would change keypad
    // keys: PuTTY sends PF1 to PF4 for Num Lock and the operators, rxvt-unicode
    // keypad digits for its cursor keys with Num Lock off, and the Linux
    // console keypad digits whatever the Num Lock.
    t.keypad = term && (std::strcmp(term, "st") == 0 || std::strncmp(term, "st-", 3) == 0);
    return t;
}

bool query() {
    // The kitty protocol's query, XTVERSION, the secondary attributes, then the
    // primary ones, which every terminal answers: terminals answer in order, so
    // that answer is the last.
    static constexpr char ask[] = "\x1B[?u\x1B[>0q\x1B[>c\x1B[c";
    return send(ask, sizeof ask - 1);
}

// Ctrl+S, Ctrl+Q, Ctrl+V and Ctrl+O reach the reader as keys instead of being
// taken by the terminal; signals (Ctrl+C, Ctrl+Z) keep working.
RawMode::RawMode() {
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

RawMode::~RawMode() { restoreMode(); }

// The requests go to the terminal device on standard input, never to standard
// output, which may be a file. modifyOtherKeys has no stack: it goes back to
// the terminal's initial setting; the kitty protocol's flags are pushed on its
// stack and popped.
KeyReports::KeyReports(const Terminal& terminal) {
    std::string ask, back;
    if (terminal.kitty) ask += "\x1B[>1u", back = "\x1B[<u" + back;
    if (terminal.otherKeys) ask += "\x1B[>4;2m", back = "\x1B[>4m" + back;
    if (terminal.keypad) ask += "\x1B=", back = "\x1B>" + back;
    if (ask.empty()) return;
    static_assert(sizeof changes.takeBack >= 4 + 5 + 2, "room for every take-back");
    std::memcpy(changes.takeBack, back.data(), back.size());
    changes.takeBackSize = back.size();
    changes.requests = true;
    if (!send(ask.data(), ask.size())) changes.requests = false;
}

KeyReports::~KeyReports() { takeBackRequests(); }

}  // namespace posix

// In the order the read's own clean-up takes: the requests, then the mode, so
// that a key typed in between reaches the program's cooked input unchanged.
void RestoreTerminal() noexcept {
    takeBackRequests();
    restoreMode();
}

}  // namespace Tav::IO

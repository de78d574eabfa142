// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include <tav/io/keyboard.hpp>

using Tav::Event;
using Tav::IO::GetKeyboardInput;
using Clock = std::chrono::steady_clock;

namespace {

const std::string query = "\x1B[?u\x1B[>0q\x1B[>c\x1B[c";  // what a process's first read asks

// What the test's terminal answers to the queries, and the TERM the reader sees.
struct Answer {
    const char* replies = "\x1B[?6c";  // a VT102's primary attributes; nullptr: nothing answers
    const char* term = "xterm-256color";
};

extern "C" void restoreAndExit(int) {
    Tav::IO::RestoreTerminal();
    Tav::IO::RestoreTerminal();  // a second call puts back nothing more
    _exit(3);
}

// Standard input on the slave side of a pseudo-terminal whose master side the
// test plays. Each reader is a child process: a process asks its terminal what
// it is at its first read only, and every reader here must start afresh.
class Terminal : public ::testing::Test {
protected:
    int master = -1, slave = -1, savedInput = -1;
    std::string seen;  // what the current reader has written to the terminal

    void SetUp() override {
        ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
        savedInput = dup(STDIN_FILENO);
        ASSERT_EQ(dup2(slave, STDIN_FILENO), STDIN_FILENO);
        // Raw already, so that bytes typed ahead arrive as the terminal sent them.
        termios mode;
        tcgetattr(slave, &mode);
        mode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);  // no signals from typed Ctrl+Z
        mode.c_iflag &= ~static_cast<tcflag_t>(ICRNL | IXON);
        tcsetattr(slave, TCSANOW, &mode);
    }
    void TearDown() override {
        dup2(savedInput, STDIN_FILENO);
        close(savedInput);
        close(slave);
        close(master);
    }

    void type(const std::string& bytes) { ASSERT_EQ(write(master, bytes.data(), bytes.size()), ssize_t(bytes.size())); }

    // Reads what the reader wrote to the terminal until `done` holds, for up to
    // 10 s (the kernel hands bytes written to the terminal over to its other
    // side a little later).
    template <typename Done>
    bool await(Done done) {
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        for (;;) {
            int size = 0;
            ioctl(master, FIONREAD, &size);
            if (size > 0) {
                std::string more(static_cast<std::size_t>(size), '\0');
                EXPECT_EQ(read(master, &more[0], more.size()), ssize_t(size));
                seen += more;
            }
            if (done() || Clock::now() > deadline) return done();
            pollfd ready{master, POLLIN, 0};
            poll(&ready, 1, 20);
        }
    }
    bool written(std::size_t size) {
        return await([&] { return seen.size() >= size; });
    }

    struct Reader {
        pid_t pid;
        int results;
        std::FILE* output;  // its standard output, which must stay empty
        termios found;      // the mode it must put back
    };

    // Starts a reader of `count` events and answers its queries.
    Reader start(std::size_t count, const Answer& answer = {}, bool interruptible = false) {
        Reader r{-1, -1, std::tmpfile(), {}};
        tcgetattr(slave, &r.found);
        int fds[2];
        EXPECT_EQ(pipe(fds), 0);
        std::fflush(nullptr);
        seen.clear();
        r.pid = fork();
        if (r.pid == 0) {
            setenv("TERM", answer.term, 1);
            if (interruptible) std::signal(SIGINT, restoreAndExit);
            dup2(fileno(r.output), STDOUT_FILENO);
            for (std::size_t i = 0; i < count; ++i) {
                const Event e = GetKeyboardInput();
                if (write(fds[1], &e, sizeof e) != sizeof e) _exit(1);
            }
            int left = 0;  // the bytes must be used up by then
            ioctl(STDIN_FILENO, FIONREAD, &left);
            _exit(write(fds[1], &left, sizeof left) == sizeof left ? 0 : 1);
        }
        close(fds[1]);
        r.results = fds[0];
        EXPECT_TRUE(await([&] { return seen.find(query) != std::string::npos; })) << "not asked: " << seen;
        if (answer.replies) type(answer.replies);
        return r;
    }

    // `size` bytes from the reader, waiting up to 20 s for them.
    bool receive(const Reader& r, void* to, std::size_t size) {
        std::size_t done = 0;
        const auto deadline = Clock::now() + std::chrono::seconds(20);
        while (done < size && Clock::now() < deadline) {
            pollfd ready{r.results, POLLIN, 0};
            if (poll(&ready, 1, 100) <= 0) continue;
            const ssize_t n = read(r.results, static_cast<char*>(to) + done, size - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        return done == size;
    }
    Event next(const Reader& r) {
        Event e = Event::None;
        EXPECT_TRUE(receive(r, &e, sizeof e)) << "the reader did not give an event";
        return e;
    }

    // The reader's next `count` events, once it has read them all and ended;
    // the terminal is as it found it and nothing reached its standard output.
    std::vector<Event> finish(const Reader& r, std::size_t count) {
        std::vector<Event> got(count);
        int left = -1;
        const bool complete = receive(r, got.data(), count * sizeof(Event)) && receive(r, &left, sizeof left);
        if (!complete) kill(r.pid, SIGKILL);
        int status = 0;
        waitpid(r.pid, &status, 0);
        close(r.results);
        EXPECT_TRUE(complete) << "the reader did not give its events";
        EXPECT_EQ(left, 0) << "bytes left over";
        EXPECT_EQ(lseek(fileno(r.output), 0, SEEK_END), 0) << "output reached standard output";
        std::fclose(r.output);
        expectModeIs(r.found);
        return got;
    }

    void expectModeIs(const termios& found) {
        termios now;
        tcgetattr(slave, &now);
        EXPECT_EQ(now.c_lflag, found.c_lflag);
        EXPECT_EQ(now.c_iflag, found.c_iflag);
        EXPECT_EQ(std::memcmp(now.c_cc, found.c_cc, sizeof now.c_cc), 0);
    }

    // The first `count` events the bytes give, typed once the reader has asked
    // and been answered.
    std::vector<Event> events(const std::string& bytes, std::size_t count, const Answer& answer = {}) {
        const Reader r = start(count, answer);
        type(bytes);
        return finish(r, count);
    }
    Event one(const std::string& bytes) { return events(bytes, 1).front(); }

    // As a shell leaves the terminal: lines, echo, flow control.
    void cooked() {
        termios mode;
        tcgetattr(slave, &mode);
        mode.c_lflag |= ICANON | ECHO;
        mode.c_iflag |= ICRNL | IXON;
        tcsetattr(slave, TCSANOW, &mode);
    }
};

Event ch(int c) { return static_cast<Event>(c); }

}  // namespace

TEST_F(Terminal, Characters) {
    EXPECT_EQ(one("a"), ch('a'));
    EXPECT_EQ(one("Z"), ch('Z'));
    EXPECT_EQ(one(" "), Event::Space);
    EXPECT_EQ(one("\xC3\xA9"), ch(0xE9));
    EXPECT_EQ(one("\xE2\x82\xAC"), ch(0x20AC));
    // Outside the Basic Multilingual Plane: two calls, high surrogate first.
    EXPECT_EQ(events("\xF0\x9F\x98\x80", 2), (std::vector<Event>{ch(0xD83D), ch(0xDE00)}));
    EXPECT_EQ(one("\xC3\x28"), Event::None);  // malformed UTF-8 gives nothing, not stray characters
    EXPECT_EQ(events("\xF4\x8F\xBF\xBF", 2), (std::vector<Event>{ch(0xDBFF), ch(0xDFFF)}));  // the last code point
    EXPECT_EQ(one("\xF4\x90\x80\x80"), Event::None);  // past it
    EXPECT_EQ(one("\xEF\xBF\xBF"), ch(0xFFFF));  // the last of the Basic Multilingual Plane: one event
    // At the bounds of each length and of the surrogates: the shortest form only, no surrogates.
    const std::pair<const char*, Event> bounds[] = {
        {"\xC2\x80", ch(0x80)},
        {"\xE0\xA0\x80", ch(0x800)},     {"\xE0\x9F\xBF", Event::None},
        {"\xED\x9F\xBF", ch(0xD7FF)},    {"\xED\xA0\x80", Event::None}, {"\xED\xBF\xBF", Event::None},
        {"\xEE\x80\x80", ch(0xE000)},    {"\xF0\x8F\xBF\xBF", Event::None},
    };
    for (const auto& b : bounds)  // each taken whole
        EXPECT_EQ(events(b.first + std::string("q"), 2), (std::vector<Event>{b.second, ch('q')})) << b.first;
    EXPECT_EQ(events("\xF0\x90\x80\x80", 2), (std::vector<Event>{ch(0xD800), ch(0xDC00)}));  // the first after it
}

TEST_F(Terminal, ControlKeys) {
    cooked();
    EXPECT_EQ(one("\r"), Event::Enter);
    EXPECT_EQ(one("\n"), Event::Enter);
    EXPECT_EQ(one("\t"), Event::Tab);
    EXPECT_EQ(one("\x7F"), Event::Backspace);
    EXPECT_EQ(one("\x08"), Event::Backspace);
    EXPECT_EQ(one("\x1B[Z"), Event::ShiftTab);
    EXPECT_EQ(one("\x01"), ch('A'));  // Ctrl+A gives the letter's key code, as on Windows
    EXPECT_EQ(one("\x1A"), ch('Z'));
    EXPECT_EQ(one("\x13"), ch('S'));  // not taken for flow control
    EXPECT_EQ(one("\x16"), ch('V'));  // nor as the literal-next character
    EXPECT_EQ(one(std::string(1, '\0')), Event::Space);
}

TEST_F(Terminal, LoneEscapeWaitsBriefly) {
    const auto start = Clock::now();
    EXPECT_EQ(one("\x1B"), Event::Escape);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(50));
    EXPECT_EQ(one("\x1B\x1B"), Event::AltEscape);
}

TEST_F(Terminal, AltPrefix) {
    EXPECT_EQ(one("\x1B" "a"), Event::AltA);
    EXPECT_EQ(one("\x1B" "7"), Event::Alt7);
    EXPECT_EQ(one("\x1B\r"), Event::AltEnter);
    EXPECT_EQ(one("\x1B\x7F"), Event::AltBackspace);
    EXPECT_EQ(one("\x1B\t"), Event::AltTab);
    EXPECT_EQ(one("\x1B-"), Event::AltMinus);
    EXPECT_EQ(one("\x1B\x1B[A"), Event::AltArrowUp);  // Alt+Up as rxvt and tmux send it
    EXPECT_EQ(one("\x1B" "P"), Event::AltP);          // not the start of a device control string ...
    EXPECT_EQ(events("\x1B" "Pq", 2), (std::vector<Event>{Event::AltP, ch('q')}));  // ... even with a key after it
    EXPECT_EQ(events(std::string("\x1B" "P\0", 3), 2), (std::vector<Event>{Event::AltP, Event::Space}));  // Ctrl+Space
    EXPECT_EQ(events("\x1B" "P@", 2), (std::vector<Event>{Event::AltP, ch('@')}));
    // The 8-bit meta convention: a lone byte 0x80 to 0x9F is Alt with the byte less 0x80.
    EXPECT_EQ(one("\x89"), Event::AltTab);  // terminology's Alt+Tab
    EXPECT_EQ(one("\x88"), Event::AltBackspace);
    EXPECT_EQ(one("\x8D"), Event::AltEnter);
    EXPECT_EQ(one("\x81"), Event::AltA);
    EXPECT_EQ(one("\x80"), Event::Space);  // Alt+Ctrl+Space: the space
    EXPECT_EQ(one("\x9B"), Event::AltEscape);
    EXPECT_EQ(one("\x1B\x89"), Event::None);  // Alt twice means nothing
}

TEST_F(Terminal, CursorAndEditingKeysInBothForms) {
    const struct {
        const char* csi;
        const char* ss3;
        Event plain;
    } keys[] = {{"\x1B[A", "\x1BOA", Event::ArrowUp},   {"\x1B[B", "\x1BOB", Event::ArrowDown},
                {"\x1B[C", "\x1BOC", Event::ArrowRight}, {"\x1B[D", "\x1BOD", Event::ArrowLeft},
                {"\x1B[H", "\x1BOH", Event::Home},       {"\x1B[F", "\x1BOF", Event::End}};
    for (const auto& k : keys) {
        EXPECT_EQ(one(k.csi), k.plain);
        EXPECT_EQ(one(k.ss3), k.plain);
    }
    EXPECT_EQ(one("\x1B[1~"), Event::Home);
    EXPECT_EQ(one("\x1B[4~"), Event::End);
    EXPECT_EQ(one("\x1B[2~"), Event::Insert);
    EXPECT_EQ(one("\x1B[3~"), Event::Delete);
    EXPECT_EQ(one("\x1B[5~"), Event::PageUp);
    EXPECT_EQ(one("\x1B[6~"), Event::PageDown);
}

TEST_F(Terminal, XtermModifierParameter) {
    EXPECT_EQ(one("\x1B[1;2D"), Event::ShiftArrowLeft);
    EXPECT_EQ(one("\x1B[1;2A"), Event::ShiftArrowUp);
    EXPECT_EQ(one("\x1B[1;5D"), Event::CtrlArrowLeft);
    EXPECT_EQ(one("\x1B[1;5A"), Event::CtrlArrowUp);
    EXPECT_EQ(one("\x1B[1;3C"), Event::AltArrowRight);
    EXPECT_EQ(one("\x1B[1;6D"), Event::CtrlArrowLeft);  // Ctrl+Shift: Ctrl wins
    EXPECT_EQ(one("\x1B[1;7D"), Event::AltArrowLeft);   // Ctrl+Alt: Alt wins
    EXPECT_EQ(one("\x1B[5;5~"), Event::CtrlPageUp);
    EXPECT_EQ(one("\x1B[3;5~"), Event::CtrlDelete);
    EXPECT_EQ(one("\x1B[3;3~"), Event::AltDelete);
    EXPECT_EQ(one("\x1B[2;5~"), Event::CtrlInsert);
    EXPECT_EQ(one("\x1B[1;5H"), Event::CtrlHome);
    EXPECT_EQ(one("\x1B[1;3F"), Event::AltEnd);
    EXPECT_EQ(one("\x1B[1;2P"), Event::F1);  // function keys are the same under every modifier
    // rxvt's own final bytes: '$' Shift, '^' Ctrl, '@' Ctrl+Shift; lower-case arrows.
    EXPECT_EQ(one("\x1B[3$"), Event::Delete);
    EXPECT_EQ(one("\x1B[7$"), Event::Home);
    EXPECT_EQ(events("\x1B[8$q", 2), (std::vector<Event>{Event::End, ch('q')}));
    EXPECT_EQ(one("\x1B[5^"), Event::CtrlPageUp);
    EXPECT_EQ(one("\x1B[8^"), Event::CtrlEnd);
    EXPECT_EQ(one("\x1B[2@"), Event::CtrlInsert);
    EXPECT_EQ(one("\x1B[a"), Event::ShiftArrowUp);
    EXPECT_EQ(one("\x1BOd"), Event::CtrlArrowLeft);
    EXPECT_EQ(one("\x1B[2J"), Event::Home);  // st's Shift+Home
    EXPECT_EQ(one("\x1B[J"), Event::None);
}

TEST_F(Terminal, FunctionKeys) {
    const char* xterm[] = {"\x1BOP",   "\x1BOQ",   "\x1BOR",   "\x1BOS",   "\x1B[15~", "\x1B[17~", "\x1B[18~",
                           "\x1B[19~", "\x1B[20~", "\x1B[21~", "\x1B[23~", "\x1B[24~", "\x1B[25~", "\x1B[26~",
                           "\x1B[28~"};
    for (int f = 0; f < 15; ++f) EXPECT_EQ(one(xterm[f]), static_cast<Event>(static_cast<int>(Event::F1) + f)) << f;
    EXPECT_EQ(one("\x1B[11~"), Event::F1);  // rxvt
    EXPECT_EQ(one("\x1B[[A"), Event::F1);   // the Linux console
    EXPECT_EQ(one("\x1B[[E"), Event::F5);
    EXPECT_EQ(one("\x1B[[F"), Event::None);
    EXPECT_EQ(one("\x1B[15;5~"), Event::F5);
}

TEST_F(Terminal, KeypadInApplicationMode) {
    EXPECT_EQ(one("\x1BOp"), Event::Pad0);
    EXPECT_EQ(one("\x1BOy"), Event::Pad9);
    EXPECT_EQ(one("\x1BOk"), Event::PadAdd);
    EXPECT_EQ(one("\x1BOm"), Event::PadSubtract);
    EXPECT_EQ(one("\x1BOj"), Event::PadMultiply);
    EXPECT_EQ(one("\x1BOo"), Event::PadDivide);
    EXPECT_EQ(one("\x1BOn"), Event::PadDecimal);
    EXPECT_EQ(one("\x1BOM"), Event::Enter);
    EXPECT_EQ(one("\x1BO5k"), Event::CtrlPadAdd);  // with a modifier, as some terminals send it
    EXPECT_EQ(one("\x1BO1009k"), one("\x1BO100k"));  // a modifier saturates at 100: no overflow
}

TEST_F(Terminal, UnknownSequencesAreConsumedWhole) {
    EXPECT_EQ(one("\x1B[<0;12;7M"), Event::None);  // an SGR mouse report
    EXPECT_EQ(one("\x1B[99~"), Event::None);
    EXPECT_EQ(one("\x1B[M !!"), Event::None);  // an X10 mouse report ...
    EXPECT_EQ(one("\x1B[M"), Event::CtrlDelete);  // ... and st's Ctrl+Delete in numeric keypad mode
    EXPECT_EQ(events("\x1B[1;5Xq", 2), (std::vector<Event>{Event::None, ch('q')}));
    EXPECT_EQ(events("\x1B[2 qx", 2), (std::vector<Event>{Event::None, ch('x')}));  // an intermediate byte
    // Replies to the queries that come after the first read stopped waiting
    // are no keys: the read goes on to the key after them.
    const char* replies[] = {"\x1B[?1;2c", "\x1B[?62;22c", "\x1B[>41;379;0c", "\x1B[?1u",
                             "\x1BP>|XTerm(379)\x1B\\", "\x1BP>|XTerm(379)\x07", "\x1BP1$r0m\x1B\\"};
    for (const char* r : replies) EXPECT_EQ(one(std::string(r) + "q"), ch('q')) << testing::PrintToString(r);
    EXPECT_EQ(one("\x1BP>|" + std::string(10000, 'x') + "\x1B\\q"), ch('q'));  // however long
    EXPECT_EQ(events("\x1B\x1B[?6c", 1), (std::vector<Event>{Event::Escape}));   // Escape, then a reply
}

// Reports of terminals asked for unambiguous keys: xterm's modifyOtherKeys
// ("CSI 27 ; modifiers ; code ~") and the kitty protocol ("CSI code ; modifiers u").
TEST_F(Terminal, KeyReports) {
    const struct {
        const char* bytes;
        Event event;
    } reports[] = {
        // The keys xterm's legacy encodings merge with others.
        {"\x1B[27;5;13~", Event::CtrlEnter},
        {"\x1B[27;5;9~", Event::CtrlTab},
        {"\x1B[27;6;9~", Event::CtrlTab},  // Ctrl+Shift+Tab: Ctrl before Shift
        {"\x1B[27;3;9~", Event::AltTab},
        {"\x1B[27;3;127~", Event::AltBackspace},
        {"\x1B[27;3;27~", Event::AltEscape},
        {"\x1B[27;5;127~", Event::CtrlBackspace},
        {"\x1B[27;2;13~", Event::Enter},
        {"\x1B[27;3;97~", Event::AltA},
        {"\x1B[27;7;97~", Event::AltA},  // Ctrl+Alt: Alt before Ctrl
        {"\x1B[27;3;49~", Event::Alt1},
        {"\x1B[27;3;57~", Event::Alt9},
        {"\x1B[27;3;90~", Event::AltZ},  // the capital's code: the same key
        {"\x1B[32;5u", Event::Space},
        {"\x1B[27;5;49~", ch('1')},
        {"\x1B[27;5;97~", ch('A')},  // Ctrl+letter: the capital's code, as on Windows
        {"\x1B[27;6;65~", ch('A')},
        {"\x1B[27;3;45~", Event::AltMinus},
        {"\x1B[27;3;61~", Event::AltPadAdd},  // Alt with the plus/equals key
        {"\x1B[27;9;96~", Event::AltGrave},   // xterm's Meta counts as Alt
        {"\x1B[27;2;32~", Event::Space},
        {"\x1B[27;5;233~", ch(0xE9)},  // no key of its own: the character
        // The kitty protocol.
        {"\x1B[27u", Event::Escape},
        {"\x1B[27;3u", Event::AltEscape},
        {"\x1B[13;5u", Event::CtrlEnter},
        {"\x1B[9;5u", Event::CtrlTab},
        {"\x1B[127;3u", Event::AltBackspace},
        {"\x1B[97;5u", ch('A')},
        {"\x1B[97;33u", Event::AltA},  // kitty's Meta counts as Alt ...
        {"\x1B[97;9u", ch('a')},       // ... its Super does not
        {"\x1B[97;2u", ch('A')},
        {"\x1B[122;2u", ch('Z')},  // Shift capitalises every letter, z too
        {"\x1B[97:65;6u", ch('A')},  // alternate keys after ':'
        {"\x1B[97;129u", ch('a')},   // Num Lock changes nothing
        {"\x1B[57399u", ch('0')},  // keypad keys: the character without modifiers, as with Num Lock on
        {"\x1B[57407;5u", Event::CtrlPad8},
        {"\x1B[57407;2u", Event::ShiftPad8},
        {"\x1B[57408;3u", Event::AltPad9},
        {"\x1B[57413u", ch('+')},
        {"\x1B[57411;5u", Event::CtrlPadMultiply},
        {"\x1B[57409;3u", Event::AltPadDecimal},
        {"\x1B[57414;5u", Event::CtrlEnter},
        {"\x1B[57415u", ch('=')},
        {"\x1B[57415;5u", ch('=')},  // the keypad's '=' has no Ctrl or Alt events of its own
        {"\x1B[57415;3u", ch('=')},
        {"\x1B[57417u", Event::ArrowLeft},
        {"\x1B[57426;3u", Event::AltDelete},
        {"\x1B[57376u", Event::F13},
        {"\x1B[57441u", Event::LeftShift},
        {"\x1B[57449u", Event::RightMenu},
        {"\x1B[57439u", Event::VolumeUp},
        // Reports that name no key, or no key with an event.
        {"\x1B[57358u", Event::None},  // Caps Lock
        {"\x1B[57427~", Event::None},  // the keypad's middle key
        {"\x1B[57999u", Event::None},
        {"\x1B[5u", Event::None},
        {"\x1B[99999999999999999999u", Event::None},
        {"\x1B[1114112u", Event::None},
        {"\x1B[55296u", Event::None},  // a surrogate
        {"\x1B[27;5~", Event::None},
        {"\x1B[27;5;13;1~", Event::None},
    };
    for (const auto& r : reports) EXPECT_EQ(one(r.bytes), r.event) << testing::PrintToString(r.bytes);
    EXPECT_EQ(events("\x1B[128512;5u", 2), (std::vector<Event>{ch(0xD83D), ch(0xDE00)}));
    EXPECT_EQ(events("\x1B[1114111u", 2), (std::vector<Event>{ch(0xDBFF), ch(0xDFFF)}));  // the last code point
    // The keys the kitty protocol numbers in the Private Use Area, as its
    // documentation names them, unmodified.
    const std::pair<int, Event> numbered[] = {
        {57358, Event::None},  // Caps Lock
        {57359, Event::ScrollLock}, {57360, Event::NumLock},
        {57361, Event::None},  // Print Screen
        {57362, Event::None},  // Pause
        {57363, Event::Menu}, {57376, Event::F13}, {57377, Event::F14}, {57378, Event::F15},
        {57409, ch('.')}, {57410, ch('/')}, {57411, ch('*')}, {57412, ch('-')}, {57413, ch('+')},
        {57414, Event::Enter}, {57415, ch('=')}, {57417, Event::ArrowLeft}, {57418, Event::ArrowRight},
        {57419, Event::ArrowUp}, {57420, Event::ArrowDown}, {57421, Event::PageUp}, {57422, Event::PageDown},
        {57423, Event::Home}, {57424, Event::End}, {57425, Event::Insert}, {57426, Event::Delete},
        {57428, Event::MediaPlayPause}, {57429, Event::MediaPlayPause}, {57430, Event::MediaPlayPause},
        {57432, Event::MediaStop}, {57435, Event::MediaNextTrack}, {57436, Event::MediaPrevTrack},
        {57438, Event::VolumeDown}, {57439, Event::VolumeUp}, {57440, Event::VolumeMute},
        {57441, Event::LeftShift}, {57442, Event::LeftControl}, {57443, Event::LeftMenu},
        {57444, Event::LeftWindows}, {57447, Event::RightShift}, {57448, Event::RightControl},
        {57449, Event::RightMenu}, {57450, Event::RightWindows},
    };
    // Alt with each punctuation key of the US layout, reported by its character.
    const std::pair<int, Event> punctuation[] = {
        {';', Event::AltSemicolon}, {'=', Event::AltPadAdd},      {',', Event::AltComma},
        {'-', Event::AltMinus},     {'.', Event::AltPeriod},      {'/', Event::AltSlash},
        {'`', Event::AltGrave},     {'[', Event::AltLeftBracket}, {'\\', Event::AltBackslash},
        {']', Event::AltRightBracket}, {'\'', Event::AltQuote},
    };
    std::string typed;
    std::vector<Event> expected;
    for (const auto& p : punctuation) {
        typed += "\x1B[27;3;" + std::to_string(p.first) + "~";
        expected.push_back(p.second);
    }
    EXPECT_EQ(events(typed, expected.size()), expected);
    typed.clear(), expected.clear();
    for (const auto& n : numbered) {
        typed += "\x1B[" + std::to_string(n.first) + "u";
        expected.push_back(n.second);
    }
    EXPECT_EQ(events(typed, expected.size()), expected);
    const std::string overlong = "\x1B[" + std::string(5000, '9') + ";5u";
    EXPECT_EQ(events(overlong + "q", 2), (std::vector<Event>{Event::None, ch('q')}));
}

// The first read of a process asks the terminal what it is; each read then
// asks for what that terminal takes and takes it back, in reverse order. The
// terminal is cooked and echoing: nothing it answers may be echoed.
TEST_F(Terminal, AsksOnceAndRequestsWhatTheTerminalTakes) {
    const std::string kitty = "\x1B[>1u", kittyBack = "\x1B[<u", otherKeys = "\x1B[>4;2m", otherKeysBack = "\x1B[>4m";
    const std::string keypad = "\x1B=", keypadBack = "\x1B>";
    const struct {
        const char* name;
        Answer answer;
        std::string asked, takenBack;
        const char* keys;
        std::vector<Event> events;
    } terminals[] = {
        {"kitty", {"\x1B[?0u\x1BP>|kitty(0.26.5)\x1B\\\x1B[>1;4000;26c\x1B[?62;c", "xterm-kitty"},
         kitty, kittyBack, "\x1B[13;5u\x1B[9;3u", {Event::CtrlEnter, Event::AltTab}},
        {"foot", {"\x1B[?0u\x1BP>|foot(1.13.1)\x1B\\\x1B[>1;11301;0c\x1B[?62;4;22c", "foot"},
         kitty, kittyBack, "ab", {ch('a'), ch('b')}},
        {"xterm", {"\x1BP>|XTerm(379)\x1B\\\x1B[>41;379;0c\x1B[?64;1;2;6;9;15;16;17;18;21;22;28c", "xterm"},
         otherKeys, otherKeysBack, "\x1B[27;5;13~\x1BOD", {Event::CtrlEnter, Event::ArrowLeft}},
        {"xterm before XTVERSION", {"\x1B[>41;353;0c\x1B[?64;1;2c", "xterm"},
         otherKeys, otherKeysBack, "ab", {ch('a'), ch('b')}},
        {"tmux", {"\x1BP>|tmux 3.3a\x1B\\\x1B[>84;0;0c\x1B[?1;2c", "tmux-256color"},
         otherKeys, otherKeysBack, "ab", {ch('a'), ch('b')}},
        // konsole took the kitty protocol's push and pop for "restore cursor".
        {"konsole", {"\x1B[>0;115;0c\x1B[?1;2c", "xterm-256color"}, "", "", "ab", {ch('a'), ch('b')}},
        {"rxvt-unicode", {"\x1B[>85;95;0c\x1B[?1;2c", "rxvt-unicode-256color"}, "", "", "\x1BOd\x1B[3$",
         {Event::CtrlArrowLeft, Event::Delete}},
        {"VTE", {"\x1B[>65;7006;1c\x1B[?65;1;9c", "xterm-256color"}, "", "", "ab", {ch('a'), ch('b')}},
        {"st", {"\x1B[?6c", "st-256color"}, keypad, keypadBack, "\x1B[3;5~\x1B[2~", {Event::CtrlDelete, Event::Insert}},
        {"st, plain", {"\x1B[?6c", "st"}, keypad, keypadBack, "ab", {ch('a'), ch('b')}},
        // PuTTY's Ctrl+Left in normal cursor mode is the application mode's Left.
        {"PuTTY", {"\x1B[>0;136;0c\x1B[?6c", "xterm"}, "", "", "\x1BOD\x1B[D",
         {Event::CtrlArrowLeft, Event::ArrowLeft}},
        {"the Linux console", {"\x1B[?6c", "linux"}, "", "", "ab", {ch('a'), ch('b')}},
        {"a terminal that answers nothing", {nullptr, "xterm"}, "", "", "ab", {ch('a'), ch('b')}},
    };
    for (const auto& t : terminals) {
        SCOPED_TRACE(t.name);
        cooked();
        const auto begin = Clock::now();
        const Reader reader = start(2, t.answer);
        type(t.keys);
        EXPECT_EQ(finish(reader, 2), t.events);
        // Generous: the wait for a terminal that answers nothing is 2 s.
        EXPECT_LT(Clock::now() - begin, std::chrono::seconds(15));
        const std::string expected = query + t.asked + t.takenBack + t.asked + t.takenBack;
        written(expected.size());
        EXPECT_EQ(seen, expected);
    }
    // An xterm too old for XTVERSION is known by the terminal it emulates (its
    // decTerminalID, VT100 to VT525) and its patch number.
    const struct {
        const char* secondary;
        bool isXterm;
    } older[] = {
        {"0;330;0", true},  {"1;330;0", true},  {"2;330;0", true},   {"18;330;0", true}, {"19;330;0", true},
        {"24;330;0", true}, {"41;200;0", true}, {"61;330;0", true},  {"64;330;0", true}, {"65;330;0", true},
        {"3;330;0", false}, {"41;199;0", false}, {"41;330;1", false},
    };
    for (const auto& o : older) {
        SCOPED_TRACE(o.secondary);
        cooked();
        const std::string replies = "\x1B[>" + std::string(o.secondary) + "c\x1B[?64;1;2c";
        const Reader reader = start(1, {replies.c_str(), "xterm"});
        type("a");
        EXPECT_EQ(finish(reader, 1), std::vector<Event>{ch('a')});
        const std::string expected = query + (o.isXterm ? otherKeys + otherKeysBack : "");
        written(expected.size());
        EXPECT_EQ(seen, expected);
    }
}

// Keys typed before the terminal answers come first, in order, and the reads
// that return them ask nothing of the terminal.
TEST_F(Terminal, KeysTypedBeforeTheAnswer) {
    const Reader reader = start(5, {nullptr, "xterm"});
    type(std::string("a\0\x1B[1;5D\xF0\x9F\x98\x80", 12));
    type("\x1BP>|XTerm(379)\x1B\\\x1B[>41;379;0c\x1B[?64;1;2c");
    EXPECT_EQ(finish(reader, 5),
              (std::vector<Event>{ch('a'), Event::Space, Event::CtrlArrowLeft, ch(0xD83D), ch(0xDE00)}));
    written(query.size());
    EXPECT_EQ(seen, query);
}

// A terminal that answers 400 ms after the question, as one does over a long
// link, is still waited for: the first key read after the answer gets its report.
TEST_F(Terminal, SlowAnswerStillCounts) {
    const Reader reader = start(1, {nullptr, "xterm"});
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    type("\x1BP>|XTerm(379)\x1B\\\x1B[>41;379;0c\x1B[?64;1;2c");
    EXPECT_TRUE(written(query.size() + 7)) << "no key reports requested";
    type("\x1B[27;5;13~");
    EXPECT_EQ(finish(reader, 1), (std::vector<Event>{Event::CtrlEnter}));
    written(query.size() + 12);
    EXPECT_EQ(seen, query + "\x1B[>4;2m\x1B[>4m");
}

// A terminal slower to answer than the first read waits: its replies are
// consumed by a later read, and count from the read after it.
TEST_F(Terminal, LateRepliesCountFromTheNextRead) {
    const Reader reader = start(3, {nullptr, "xterm-kitty"});
    type("a");
    EXPECT_EQ(next(reader), ch('a'));  // the first read has stopped waiting
    type("\x1B[?0u\x1BP>|kitty(0.26.5)\x1B\\\x1B[>1;4000;26c\x1B[?62;c" "b");
    EXPECT_EQ(next(reader), ch('b'));
    type("\x1B[13;5u");
    EXPECT_EQ(finish(reader, 1), (std::vector<Event>{Event::CtrlEnter}));
    const std::string expected = query + "\x1B[>1u\x1B[<u";
    written(expected.size());
    EXPECT_EQ(seen, expected);
}

// A program whose handler calls RestoreTerminal, interrupted by SIGINT during a
// read, leaves the terminal as the read found it.
TEST_F(Terminal, SignalHandlerRestoresTheTerminal) {
    cooked();
    termios before;
    tcgetattr(slave, &before);
    Tav::IO::RestoreTerminal();  // no read under way: nothing to put back, nothing to send
    expectModeIs(before);
    const std::string asked = "\x1B[>4;2m";
    const Reader reader = start(1, {"\x1BP>|XTerm(379)\x1B\\\x1B[>41;379;0c\x1B[?64;1;2c", "xterm"}, true);
    EXPECT_TRUE(written(query.size() + asked.size()));
    EXPECT_EQ(seen, query + asked);
    kill(reader.pid, SIGINT);
    int status = 0;
    ASSERT_EQ(waitpid(reader.pid, &status, 0), reader.pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << "the handler did not run: " << status;
    written(query.size() + asked.size() + 5);
    EXPECT_EQ(seen, query + asked + "\x1B[>4m");
    expectModeIs(reader.found);
    close(reader.results);
    std::fclose(reader.output);
}

TEST(Keyboard, NotATerminalGivesNoneAtOnce) {
    const int saved = dup(STDIN_FILENO);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    dup2(fds[0], STDIN_FILENO);
    const auto start = Clock::now();
    EXPECT_EQ(GetKeyboardInput(), Event::None);  // the pipe is empty: a blocking read would hang
    EXPECT_EQ(GetKeyboardInput(), Event::None);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    dup2(saved, STDIN_FILENO);
    close(saved);
    close(fds[0]);
    close(fds[1]);
}

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

// Standard input on the slave side of a pseudo-terminal; the test types into the master.
class Terminal : public ::testing::Test {
protected:
    int master = -1, slave = -1, savedInput = -1;

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

    // The first `count` events the bytes give; the bytes must be used up by then.
    std::vector<Event> events(const std::string& bytes, std::size_t count) {
        type(bytes);
        std::vector<Event> got;
        while (got.size() < count) got.push_back(GetKeyboardInput());
        int left = 0;
        ioctl(slave, FIONREAD, &left);
        EXPECT_EQ(left, 0) << "bytes left over from " << testing::PrintToString(bytes);
        tcflush(slave, TCIFLUSH);
        written();  // so that what the reader asks of the terminal never fills its buffer
        return got;
    }
    // What was written to the terminal since the last look: at least `least`
    // bytes, waiting up to 10 s for them (the kernel hands bytes written to the
    // terminal over to its other side a little later).
    std::string written(std::size_t least = 0) {
        std::string bytes;
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        for (;;) {
            int size = 0;
            ioctl(master, FIONREAD, &size);
            if (size > 0) {
                std::string more(static_cast<std::size_t>(size), '\0');
                EXPECT_EQ(read(master, &more[0], more.size()), ssize_t(size));
                bytes += more;
            }
            if (bytes.size() >= least || Clock::now() > deadline) return bytes;
            pollfd ready{master, POLLIN, 0};
            poll(&ready, 1, 100);
        }
    }
    Event one(const std::string& bytes) { return events(bytes, 1).front(); }
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
}

TEST_F(Terminal, ControlKeys) {
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
}

TEST_F(Terminal, FunctionKeys) {
    const char* xterm[] = {"\x1BOP",   "\x1BOQ",   "\x1BOR",   "\x1BOS",   "\x1B[15~", "\x1B[17~", "\x1B[18~",
                           "\x1B[19~", "\x1B[20~", "\x1B[21~", "\x1B[23~", "\x1B[24~", "\x1B[25~", "\x1B[26~",
                           "\x1B[28~"};
    for (int f = 0; f < 15; ++f) EXPECT_EQ(one(xterm[f]), static_cast<Event>(static_cast<int>(Event::F1) + f)) << f;
    EXPECT_EQ(one("\x1B[11~"), Event::F1);  // rxvt
    EXPECT_EQ(one("\x1B[[A"), Event::F1);   // the Linux console
    EXPECT_EQ(one("\x1B[[E"), Event::F5);
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
}

TEST_F(Terminal, UnknownSequencesAreConsumedWhole) {
    EXPECT_EQ(one("\x1B[?1;2c"), Event::None);     // a device attributes report
    EXPECT_EQ(one("\x1B[<0;12;7M"), Event::None);  // an SGR mouse report
    EXPECT_EQ(one("\x1B[99~"), Event::None);
    EXPECT_EQ(one("\x1B[M !!"), Event::None);     // an X10 mouse report
    EXPECT_EQ(events("\x1B[1;5Xq", 2), (std::vector<Event>{Event::None, ch('q')}));
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
        {"\x1B[?1u", Event::None},  // the kitty protocol's answer to a query
    };
    for (const auto& r : reports) EXPECT_EQ(one(r.bytes), r.event) << testing::PrintToString(r.bytes);
    EXPECT_EQ(events("\x1B[128512;5u", 2), (std::vector<Event>{ch(0xD83D), ch(0xDE00)}));
    const std::string overlong = "\x1B[" + std::string(5000, '9') + ";5u";
    EXPECT_EQ(events(overlong + "q", 2), (std::vector<Event>{Event::None, ch('q')}));
}

TEST_F(Terminal, ModeIsRestoredAndNothingEchoed) {
    // Start from an ordinary cooked, echoing terminal.
    termios cooked;
    tcgetattr(slave, &cooked);
    cooked.c_lflag |= ICANON | ECHO;
    tcsetattr(slave, TCSANOW, &cooked);
    // Standard output redirected to a file: what the reader asks of the terminal
    // goes to the terminal only.
    std::FILE* output = std::tmpfile();
    ASSERT_NE(output, nullptr);
    std::fflush(stdout);
    const int savedOutput = dup(STDOUT_FILENO);
    dup2(fileno(output), STDOUT_FILENO);
    Event got = Event::None;
    std::thread reader([&] { got = GetKeyboardInput(); });
    // Type only once the call has switched the terminal to non-canonical mode.
    termios now;
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    do tcgetattr(slave, &now);
    while ((now.c_lflag & ICANON) && Clock::now() < deadline);
    type("x");
    reader.join();
    dup2(savedOutput, STDOUT_FILENO);
    close(savedOutput);
    EXPECT_EQ(got, ch('x'));
    EXPECT_EQ(std::ftell(output), 0);
    EXPECT_EQ(lseek(fileno(output), 0, SEEK_END), 0);
    std::fclose(output);
    // Asked for unambiguous reports, then put back, in reverse order; nothing echoed.
    const std::string asked = "\x1B[>4;2m\x1B[>1u\x1B[<u\x1B[>4m";
    EXPECT_EQ(written(asked.size()), asked);
    termios after;
    tcgetattr(slave, &after);
    EXPECT_EQ(after.c_lflag, cooked.c_lflag);
    EXPECT_EQ(after.c_iflag, cooked.c_iflag);
    EXPECT_EQ(std::memcmp(after.c_cc, cooked.c_cc, sizeof after.c_cc), 0);
}

extern "C" void restoreAndExit(int) {
    Tav::IO::RestoreTerminal();
    Tav::IO::RestoreTerminal();  // a second call puts back nothing more
    _exit(3);
}

// A program whose handler calls RestoreTerminal, interrupted by SIGINT during a
// read, leaves the terminal as the read found it. The reader is a child process,
// as a plain program would be: the signal needs no thread of the test's.
TEST_F(Terminal, SignalHandlerRestoresTheTerminal) {
    termios cooked;
    tcgetattr(slave, &cooked);
    cooked.c_lflag |= ICANON | ECHO;
    tcsetattr(slave, TCSANOW, &cooked);
    Tav::IO::RestoreTerminal();  // no read under way: nothing to do
    EXPECT_EQ(written(), "");

    std::fflush(nullptr);
    const pid_t reader = fork();
    ASSERT_GE(reader, 0);
    if (reader == 0) {
        std::signal(SIGINT, restoreAndExit);
        GetKeyboardInput();
        _exit(0);
    }
    termios now;
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    do tcgetattr(slave, &now);
    while ((now.c_lflag & ICANON) && Clock::now() < deadline);
    const std::string asked = "\x1B[>4;2m\x1B[>1u";
    EXPECT_EQ(written(asked.size()), asked);
    kill(reader, SIGINT);
    int status = 0;
    ASSERT_EQ(waitpid(reader, &status, 0), reader);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << "the handler did not run: " << status;
    const std::string takenBack = "\x1B[<u\x1B[>4m";
    EXPECT_EQ(written(takenBack.size()), takenBack);
    tcgetattr(slave, &now);
    EXPECT_EQ(now.c_lflag, cooked.c_lflag);
    EXPECT_EQ(now.c_iflag, cooked.c_iflag);
    EXPECT_EQ(std::memcmp(now.c_cc, cooked.c_cc, sizeof now.c_cc), 0);
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

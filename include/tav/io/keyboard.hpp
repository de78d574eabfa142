#pragma once

#include <tav/export.hpp>
#include <tav/io/event.hpp>

namespace Tav::IO {

/// Blocks until the console delivers one input record, consumes exactly that
/// record and returns its translation. Returns Event::None at once when the read
/// fails or standard input is not a console (on POSIX systems: not a terminal).
///
/// On Windows the record comes from ReadConsoleInputW. On POSIX terminals one key
/// press is read in non-canonical, no-echo mode and decoded from what xterm-like
/// terminals, the Linux console, tmux and screen send. For the time of the read
/// the terminal is asked, on standard input's own descriptor, for unambiguous key
/// reports (xterm's modifyOtherKeys level 2, the kitty keyboard protocol's
/// "disambiguate escape codes"), so that Ctrl+Enter, Ctrl+Tab, Alt+Tab,
/// Alt+Backspace and Alt+Escape give their own events where the terminal can tell
/// them; terminals that know neither ignore the request. The mode and the
/// requests are put back before the call returns (modifyOtherKeys to the
/// terminal's initial setting). A lone Escape is told from the start of a
/// sequence by waiting 50 ms for more bytes. A character outside the Basic
/// Multilingual Plane arrives as two calls, high surrogate first.
TAV_API Event GetKeyboardInput();

/// Puts the terminal back as the GetKeyboardInput under way found it: its mode
/// (echo, canonical input) and the key-report requests it sent. A no-op when no
/// read is under way, when called twice, and on Windows. Async-signal-safe, for
/// a signal handler: the library installs none, and a program that a signal
/// ends during a read would otherwise leave the terminal without echo.
///
///     extern "C" void onSignal(int s) { Tav::IO::RestoreTerminal(); std::signal(s, SIG_DFL); std::raise(s); }
///     ...
///     std::signal(SIGINT, onSignal);
///
/// The read itself goes on (a read interrupted by a handled signal continues)
/// and puts back nothing more when it ends.
TAV_API void RestoreTerminal() noexcept;

/// Translates the fields of one console input record. Pure: any thread may call
/// it. `eventType` is the record kind (1 for a key record), `controlKeyState`
/// the Windows flags (Alt 0x0001/0x0002, Ctrl 0x0004/0x0008, Shift 0x0010).
TAV_API Event TranslateKeyRecord(unsigned short eventType, bool keyDown, unsigned short virtualKeyCode,
                                 char16_t character, unsigned int controlKeyState) noexcept;

}  // namespace Tav::IO

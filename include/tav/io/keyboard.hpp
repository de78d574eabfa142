// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
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
/// terminals, rxvt, st, PuTTY, the Linux console, tmux and screen send. The first
/// call of a process asks the terminal what it is (the kitty protocol's query,
/// XTVERSION, the secondary and primary device attributes), waiting for the
/// answers until the primary attributes come, at most 2 s; the answers are
/// consumed, never returned as keys, and keys typed meanwhile are kept for the
/// calls that follow. For the time of each read, a terminal that takes them is
/// then asked, on standard input's own descriptor, for unambiguous key reports
/// (the kitty keyboard protocol's "disambiguate escape codes" where the terminal
/// answered the kitty query, xterm's modifyOtherKeys level 2 where it named
/// itself xterm, tmux or mintty), so that Ctrl+Enter, Ctrl+Tab, Alt+Tab,
/// Alt+Backspace and Alt+Escape give their own events; st is put in keypad
/// application mode, so that its editing keys report their modifiers. Terminals
/// whose answers name no request are asked for nothing. The mode and the
/// requests are put back before the call returns (modifyOtherKeys to the
/// terminal's initial setting, the keypad to numeric mode). A lone Escape is
/// told from the start of a sequence by waiting 50 ms for more bytes. A
/// character outside the Basic Multilingual Plane arrives as two calls, high
/// surrogate first. Calls from several threads take turns.
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

// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <chrono>
#include <cstdlib>
#include <vector>

#include <windows.h>

#include <gtest/gtest.h>

#include <tav/io/keyboard.hpp>

using Tav::Event;
using Tav::IO::GetKeyboardInput;

namespace {

// Puts records into the console's input buffer; false when there is no console.
bool feed(const std::vector<INPUT_RECORD>& records) {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (!FlushConsoleInputBuffer(input)) return false;
    DWORD written = 0;
    return WriteConsoleInputW(input, records.data(), static_cast<DWORD>(records.size()), &written) &&
           written == records.size();
}

INPUT_RECORD key(WORD code, wchar_t c, DWORD flags = 0, BOOL down = TRUE, WORD repeat = 1) {
    INPUT_RECORD r{};
    r.EventType = KEY_EVENT;
    r.Event.KeyEvent.bKeyDown = down;
    r.Event.KeyEvent.wRepeatCount = repeat;
    r.Event.KeyEvent.wVirtualKeyCode = code;
    r.Event.KeyEvent.uChar.UnicodeChar = c;
    r.Event.KeyEvent.dwControlKeyState = flags;
    return r;
}

INPUT_RECORD focus() {
    INPUT_RECORD r{};
    r.EventType = FOCUS_EVENT;
    r.Event.FocusEvent.bSetFocus = TRUE;
    return r;
}

// Skips without a console, unless the run asks for one.
#define REQUIRE_CONSOLE(fed)                                                        \
    if (!(fed)) {                                                                  \
        if (std::getenv("TAV_REQUIRE_CONSOLE")) FAIL() << "no console to write to"; \
        GTEST_SKIP() << "standard input is not a console";                         \
    }

}  // namespace

TEST(WindowsConsole, OneRecordPerCall) {
    const std::vector<INPUT_RECORD> records = {key(0x41, L'a'), key(0x41, L'a', 0, FALSE), focus(), key(0x25, 0, SHIFT_PRESSED),
                      key(0x0D, 0x0A, LEFT_CTRL_PRESSED), key(0x09, 0x09, SHIFT_PRESSED), key(0x41, 0x01, LEFT_CTRL_PRESSED),
                      key(0x08, 0x08), key(0x1B, 0x1B, LEFT_ALT_PRESSED), key(0xE2, 0, LEFT_ALT_PRESSED),
                      key(0x45, 0xD83D), key(0x45, 0xDE00), key(0x20, L' ', 0, TRUE, 5)};
    REQUIRE_CONSOLE(feed(records));
    EXPECT_EQ(GetKeyboardInput(), static_cast<Event>('a'));
    EXPECT_EQ(GetKeyboardInput(), Event::None);  // the key's release
    EXPECT_EQ(GetKeyboardInput(), Event::None);  // a focus record
    EXPECT_EQ(GetKeyboardInput(), Event::ShiftArrowLeft);
    EXPECT_EQ(GetKeyboardInput(), Event::CtrlEnter);
    EXPECT_EQ(GetKeyboardInput(), Event::ShiftTab);
    EXPECT_EQ(GetKeyboardInput(), static_cast<Event>('A'));
    EXPECT_EQ(GetKeyboardInput(), Event::Backspace);
    EXPECT_EQ(GetKeyboardInput(), Event::AltEscape);
    EXPECT_EQ(GetKeyboardInput(), static_cast<Event>(0x203E2));
    EXPECT_EQ(GetKeyboardInput(), static_cast<Event>(0xD83D));
    EXPECT_EQ(GetKeyboardInput(), static_cast<Event>(0xDE00));
    EXPECT_EQ(GetKeyboardInput(), Event::Space);  // a repeat count of 5 is one event
}

TEST(Keyboard, NotAConsoleGivesNoneAtOnce) {
    // Standard input redirected to a file: the console read fails at once.
    const HANDLE saved = GetStdHandle(STD_INPUT_HANDLE);
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    char file[MAX_PATH];
    GetTempFileNameA(path, "tav", 0, file);
    const HANDLE notConsole = CreateFileA(file, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    ASSERT_NE(notConsole, INVALID_HANDLE_VALUE);
    SetStdHandle(STD_INPUT_HANDLE, notConsole);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(GetKeyboardInput(), Event::None);
    EXPECT_EQ(GetKeyboardInput(), Event::None);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    SetStdHandle(STD_INPUT_HANDLE, saved);
    CloseHandle(notConsole);
}

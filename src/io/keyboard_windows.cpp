// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// Key records from the Windows console.
#include <windows.h>

#include <tav/io/keyboard.hpp>

namespace Tav::IO {

Event GetKeyboardInput() {
    // The handle is fetched anew on every call, never cached.
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    INPUT_RECORD record;
    DWORD read = 0;
    if (!ReadConsoleInputW(input, &record, 1, &read) || read == 0) return Event::None;
    if (record.EventType != KEY_EVENT) return Event::None;
    const KEY_EVENT_RECORD& k = record.Event.KeyEvent;
    return TranslateKeyRecord(record.EventType, k.bKeyDown != FALSE, k.wVirtualKeyCode,
                              static_cast<char16_t>(k.uChar.UnicodeChar), k.dwControlKeyState);
}

// A console read changes no mode that a handler would have to put back.
void RestoreTerminal() noexcept {}

}  // namespace Tav::IO

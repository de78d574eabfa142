// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <array>

#include <tav/io/keyboard.hpp>

namespace Tav::IO {

namespace {

enum Class { Plain, ShiftClass, CtrlClass, AltClass };

// The four tables, one per modifier class, indexed by virtual-key code 0x00 to 0xDF.
using Tables = std::array<std::array<Event, 0xE0>, 4>;

constexpr Event character(int c) { return static_cast<Event>(c); }

constexpr Event offset(Event base, int by) { return static_cast<Event>(static_cast<std::int32_t>(base) + by); }

constexpr Tables makeTables() {
    Tables t{};
    const auto set = [&t](int code, Event plain, Event shift, Event ctrl, Event alt) {
        t[Plain][code] = plain;
        t[ShiftClass][code] = shift;
        t[CtrlClass][code] = ctrl;
        t[AltClass][code] = alt;
    };
    const auto same = [&set](int code, Event e) { set(code, e, e, e, e); };
    // Keys whose Alt form is their own and whose other forms give a character.
    const auto typed = [&set](int code, int c, Event alt) {
        set(code, character(c), character(c), character(c), alt);
    };

    for (int code : {0x01, 0x02, 0x04, 0x05, 0x06}) same(code, Event::MouseButton);
    set(0x08, Event::Backspace, Event::Backspace, Event::CtrlBackspace, Event::AltBackspace);
    set(0x09, Event::Tab, Event::ShiftTab, Event::CtrlTab, Event::AltTab);
    set(0x0D, Event::Enter, Event::Enter, Event::CtrlEnter, Event::AltEnter);
    same(0x10, Event::Shift);
    same(0x11, Event::Control);
    same(0x12, Event::Menu);
    set(0x1B, Event::Escape, Event::Escape, Event::Escape, Event::AltEscape);
    same(0x20, Event::Space);
    set(0x21, Event::PageUp, Event::PageUp, Event::CtrlPageUp, Event::AltPageUp);
    set(0x22, Event::PageDown, Event::PageDown, Event::CtrlPageDown, Event::AltPageDown);
    set(0x23, Event::End, Event::End, Event::CtrlEnd, Event::AltEnd);
    set(0x24, Event::Home, Event::Home, Event::CtrlHome, Event::AltHome);
    set(0x25, Event::ArrowLeft, Event::ShiftArrowLeft, Event::CtrlArrowLeft, Event::AltArrowLeft);
    set(0x26, Event::ArrowUp, Event::ShiftArrowUp, Event::CtrlArrowUp, Event::AltArrowUp);
    set(0x27, Event::ArrowRight, Event::ShiftArrowRight, Event::CtrlArrowRight, Event::AltArrowRight);
    set(0x28, Event::ArrowDown, Event::ShiftArrowDown, Event::CtrlArrowDown, Event::AltArrowDown);
    set(0x2D, Event::Insert, Event::Insert, Event::CtrlInsert, Event::AltInsert);
    set(0x2E, Event::Delete, Event::Delete, Event::CtrlDelete, Event::AltDelete);
    for (int d = 0; d < 10; ++d) typed(0x30 + d, 0x30 + d, offset(Event::Alt0, d));
    for (int l = 0; l < 26; ++l) typed(0x41 + l, 0x41 + l, offset(Event::AltA, l));
    same(0x5B, Event::LeftWindows);
    same(0x5C, Event::RightWindows);
    same(0x5D, Event::Menu);

    // The keypad digits are not in order among the events.
    constexpr Event pad[10] = {Event::Pad0, Event::Pad1, Event::Pad2, Event::Pad3, Event::Pad4,
                               Event::Pad5, Event::Pad6, Event::Pad7, Event::Pad8, Event::Pad9};
    for (int d = 0; d < 10; ++d) set(0x60 + d, pad[d], pad[d], offset(Event::CtrlPad0, d), offset(Event::AltPad0, d));
    t[ShiftClass][0x60] = Event::ShiftPad0;  // under Shift only keypad 0, 1 and 8 have values of their own
    t[ShiftClass][0x61] = Event::ShiftPad1;
    t[ShiftClass][0x68] = Event::ShiftPad8;
    set(0x6A, Event::PadMultiply, Event::ShiftPadMultiply, Event::CtrlPadMultiply, Event::AltPadMultiply);
    set(0x6B, Event::PadAdd, Event::ShiftPadAdd, Event::CtrlPadAdd, Event::AltPadAdd);
    set(0x6D, Event::PadSubtract, Event::ShiftPadSubtract, Event::CtrlPadSubtract, Event::AltPadSubtract);
    set(0x6E, Event::PadDecimal, Event::ShiftPadDecimal, Event::CtrlPadDecimal, Event::AltPadDecimal);
    set(0x6F, Event::PadDivide, Event::ShiftPadDivide, Event::CtrlPadDivide, Event::AltPadDivide);
    for (int f = 0; f < 15; ++f) same(0x70 + f, offset(Event::F1, f));
    same(0x90, Event::NumLock);
    same(0x91, Event::ScrollLock);
    same(0x92, character('='));
    same(0xA0, Event::LeftShift);
    same(0xA1, Event::RightShift);
    same(0xA2, Event::LeftControl);
    same(0xA3, Event::RightControl);
    same(0xA4, Event::LeftMenu);
    same(0xA5, Event::RightMenu);
    for (int k = 0xA6; k <= 0xB7; ++k) same(k, offset(Event::BrowserBack, k - 0xA6));
    typed(0xBA, ';', Event::AltSemicolon);
    typed(0xBB, '+', Event::AltPadAdd);
    typed(0xBC, ',', Event::AltComma);
    typed(0xBD, '-', Event::AltMinus);
    typed(0xBE, '.', Event::AltPeriod);
    typed(0xBF, '/', Event::AltSlash);
    typed(0xC0, '`', Event::AltGrave);
    typed(0xDB, '[', Event::AltLeftBracket);
    typed(0xDC, '\\', Event::AltBackslash);
    typed(0xDD, ']', Event::AltRightBracket);
    typed(0xDE, '\'', Event::AltQuote);
    return t;
}

constexpr Tables tables = makeTables();

}  // namespace

Event TranslateKeyRecord(unsigned short eventType, bool keyDown, unsigned short virtualKeyCode, char16_t character,
                         unsigned int controlKeyState) noexcept {
    if (eventType != 0x0001 || !keyDown) return Event::None;
    if (character >= 0x20) return static_cast<Event>(character);
    if (virtualKeyCode > 0xDF) return offset(Event::RawKeyBase, virtualKeyCode);
    // Alt over Ctrl over Shift; the lock and enhanced-key flags change nothing.
    const Class modifier = (controlKeyState & 0x0003)   ? AltClass
                           : (controlKeyState & 0x000C) ? CtrlClass
                           : (controlKeyState & 0x0010) ? ShiftClass
                                                        : Plain;
    return tables[modifier][virtualKeyCode];
}

}  // namespace Tav::IO

// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <utility>

#include <gtest/gtest.h>

#include <tav/io/keyboard.hpp>

using Tav::Event;
using Tav::IO::TranslateKeyRecord;

namespace {
constexpr unsigned short keyEvent = 0x0001;
constexpr unsigned rightAlt = 0x0001, leftAlt = 0x0002, rightCtrl = 0x0004, leftCtrl = 0x0008, shift = 0x0010,
                   numLock = 0x0020, capsLock = 0x0080, enhanced = 0x0100;

Event ch(char c) { return static_cast<Event>(c); }

Event down(unsigned short code, char16_t c = 0, unsigned flags = 0) {
    return TranslateKeyRecord(keyEvent, true, code, c, flags);
}
}  // namespace

TEST(TranslateKeyRecord, NonKeyAndReleaseRecordsGiveNone) {
    for (unsigned short type : {0x0002, 0x0004, 0x0008, 0x0010})  // mouse, window size, menu, focus
        EXPECT_EQ(TranslateKeyRecord(type, true, 0x41, u'a', 0), Event::None) << type;
    EXPECT_EQ(TranslateKeyRecord(keyEvent, false, 0x41, u'a', 0), Event::None);
}

TEST(TranslateKeyRecord, CharactersWinOverKeysAndModifiers) {
    EXPECT_EQ(down(0x41, u'a'), static_cast<Event>(0x61));
    EXPECT_EQ(down(0x00, u'A'), static_cast<Event>(0x41));
    EXPECT_EQ(down(0x45, u'\u00E9'), static_cast<Event>(0xE9));
    EXPECT_EQ(down(0, 0xD83D), static_cast<Event>(0xD83D));  // surrogates pass as they are
    EXPECT_EQ(down(0, 0xDE00), static_cast<Event>(0xDE00));
    EXPECT_EQ(down(0x41, u'a', leftAlt | leftCtrl), static_cast<Event>(0x61));
    EXPECT_EQ(down(0x20, u' ', leftCtrl), Event::Space);
}

TEST(TranslateKeyRecord, ControlCharactersGoThroughTheTables) {
    EXPECT_EQ(down(0x41, 0x01, leftCtrl), static_cast<Event>(0x41));  // Ctrl+A is a capital A
    EXPECT_EQ(down(0x08, 0x08), Event::Backspace);
    EXPECT_EQ(down(0x09, 0x09), Event::Tab);
    EXPECT_EQ(static_cast<int>(down(0x09, 0x09)), 9);
    EXPECT_EQ(static_cast<int>(down(0x0D, 0x0D)), 13);
    EXPECT_EQ(static_cast<int>(down(0x1B, 0x1B)), 27);
    EXPECT_EQ(down(0x0D, 0x0A, rightCtrl), Event::CtrlEnter);
    EXPECT_EQ(down(0x09, 0x09, shift), Event::ShiftTab);
    EXPECT_EQ(down(0x1B, 0x1B, leftAlt), Event::AltEscape);
    EXPECT_EQ(down(0x08, 0x08, leftCtrl), Event::CtrlBackspace);
}

TEST(TranslateKeyRecord, ModifierClassesInPrecedence) {
    EXPECT_EQ(down(0x25), Event::ArrowLeft);
    EXPECT_EQ(down(0x25, 0, shift), Event::ShiftArrowLeft);
    EXPECT_EQ(down(0x25, 0, leftCtrl), Event::CtrlArrowLeft);
    EXPECT_EQ(down(0x25, 0, leftCtrl | shift), Event::CtrlArrowLeft);
    EXPECT_EQ(down(0x25, 0, rightAlt | rightCtrl), Event::AltArrowLeft);
    EXPECT_EQ(down(0x25, 0, enhanced | numLock | capsLock), Event::ArrowLeft);
    EXPECT_EQ(down(0x41, 0, leftAlt), Event::AltA);
    EXPECT_EQ(down(0x5A, 0, rightAlt), Event::AltZ);
    EXPECT_EQ(down(0x35, 0, leftAlt), Event::Alt5);
    EXPECT_EQ(down(0x35, 0, leftCtrl), static_cast<Event>('5'));
}

// Every key of the tables, as Windows numbers them (its VK_ codes), in each
// modifier class: unmodified, Shift, Ctrl, Alt.
TEST(TranslateKeyRecord, EveryKeyInEveryClass) {
    const struct {
        unsigned short code;
        Event plain, shifted, ctrl, alt;
    } keys[] = {
        {0x08, Event::Backspace, Event::Backspace, Event::CtrlBackspace, Event::AltBackspace},
        {0x09, Event::Tab, Event::ShiftTab, Event::CtrlTab, Event::AltTab},
        {0x0D, Event::Enter, Event::Enter, Event::CtrlEnter, Event::AltEnter},
        {0x1B, Event::Escape, Event::Escape, Event::Escape, Event::AltEscape},
        {0x21, Event::PageUp, Event::PageUp, Event::CtrlPageUp, Event::AltPageUp},
        {0x22, Event::PageDown, Event::PageDown, Event::CtrlPageDown, Event::AltPageDown},
        {0x23, Event::End, Event::End, Event::CtrlEnd, Event::AltEnd},
        {0x24, Event::Home, Event::Home, Event::CtrlHome, Event::AltHome},
        {0x2D, Event::Insert, Event::Insert, Event::CtrlInsert, Event::AltInsert},
        {0x2E, Event::Delete, Event::Delete, Event::CtrlDelete, Event::AltDelete},
        {0x25, Event::ArrowLeft, Event::ShiftArrowLeft, Event::CtrlArrowLeft, Event::AltArrowLeft},
        {0x26, Event::ArrowUp, Event::ShiftArrowUp, Event::CtrlArrowUp, Event::AltArrowUp},
        {0x27, Event::ArrowRight, Event::ShiftArrowRight, Event::CtrlArrowRight, Event::AltArrowRight},
        {0x28, Event::ArrowDown, Event::ShiftArrowDown, Event::CtrlArrowDown, Event::AltArrowDown},
        {0x60, Event::Pad0, Event::ShiftPad0, Event::CtrlPad0, Event::AltPad0},
        {0x61, Event::Pad1, Event::ShiftPad1, Event::CtrlPad1, Event::AltPad1},
        {0x62, Event::Pad2, Event::Pad2, Event::CtrlPad2, Event::AltPad2},
        {0x63, Event::Pad3, Event::Pad3, Event::CtrlPad3, Event::AltPad3},
        {0x64, Event::Pad4, Event::Pad4, Event::CtrlPad4, Event::AltPad4},
        {0x65, Event::Pad5, Event::Pad5, Event::CtrlPad5, Event::AltPad5},
        {0x66, Event::Pad6, Event::Pad6, Event::CtrlPad6, Event::AltPad6},
        {0x67, Event::Pad7, Event::Pad7, Event::CtrlPad7, Event::AltPad7},
        {0x68, Event::Pad8, Event::ShiftPad8, Event::CtrlPad8, Event::AltPad8},
        {0x69, Event::Pad9, Event::Pad9, Event::CtrlPad9, Event::AltPad9},
        {0x6A, Event::PadMultiply, Event::ShiftPadMultiply, Event::CtrlPadMultiply, Event::AltPadMultiply},
        {0x6B, Event::PadAdd, Event::ShiftPadAdd, Event::CtrlPadAdd, Event::AltPadAdd},
        {0x6D, Event::PadSubtract, Event::ShiftPadSubtract, Event::CtrlPadSubtract, Event::AltPadSubtract},
        {0x6E, Event::PadDecimal, Event::ShiftPadDecimal, Event::CtrlPadDecimal, Event::AltPadDecimal},
        {0x6F, Event::PadDivide, Event::ShiftPadDivide, Event::CtrlPadDivide, Event::AltPadDivide},
    };
    for (const auto& k : keys) {
        EXPECT_EQ(down(k.code), k.plain) << k.code;
        EXPECT_EQ(down(k.code, 0, shift), k.shifted) << k.code;
        EXPECT_EQ(down(k.code, 0, leftCtrl), k.ctrl) << k.code;
        EXPECT_EQ(down(k.code, 0, leftAlt), k.alt) << k.code;
    }
    // Keys that type their character (the capital, for letters) but under Alt;
    // the plus/equals key shares keypad add's Alt form.
    const struct {
        unsigned short code;
        char c;
        Event alt;
    } typed[] = {
        {0x30, '0', Event::Alt0}, {0x31, '1', Event::Alt1}, {0x32, '2', Event::Alt2}, {0x33, '3', Event::Alt3},
        {0x34, '4', Event::Alt4}, {0x35, '5', Event::Alt5}, {0x36, '6', Event::Alt6}, {0x37, '7', Event::Alt7},
        {0x38, '8', Event::Alt8}, {0x39, '9', Event::Alt9}, {0x41, 'A', Event::AltA}, {0x42, 'B', Event::AltB},
        {0x43, 'C', Event::AltC}, {0x44, 'D', Event::AltD}, {0x45, 'E', Event::AltE}, {0x46, 'F', Event::AltF},
        {0x47, 'G', Event::AltG}, {0x48, 'H', Event::AltH}, {0x49, 'I', Event::AltI}, {0x4A, 'J', Event::AltJ},
        {0x4B, 'K', Event::AltK}, {0x4C, 'L', Event::AltL}, {0x4D, 'M', Event::AltM}, {0x4E, 'N', Event::AltN},
        {0x4F, 'O', Event::AltO}, {0x50, 'P', Event::AltP}, {0x51, 'Q', Event::AltQ}, {0x52, 'R', Event::AltR},
        {0x53, 'S', Event::AltS}, {0x54, 'T', Event::AltT}, {0x55, 'U', Event::AltU}, {0x56, 'V', Event::AltV},
        {0x57, 'W', Event::AltW}, {0x58, 'X', Event::AltX}, {0x59, 'Y', Event::AltY}, {0x5A, 'Z', Event::AltZ},
        {0xBA, ';', Event::AltSemicolon}, {0xBB, '+', Event::AltPadAdd}, {0xBC, ',', Event::AltComma}, {0xBD, '-', Event::AltMinus},
        {0xBE, '.', Event::AltPeriod}, {0xBF, '/', Event::AltSlash}, {0xC0, '`', Event::AltGrave}, {0xDB, '[', Event::AltLeftBracket},
        {0xDC, '\\', Event::AltBackslash}, {0xDD, ']', Event::AltRightBracket}, {0xDE, '\'', Event::AltQuote},
    };
    for (const auto& k : typed) {
        for (unsigned flags : {0u, shift, leftCtrl}) EXPECT_EQ(down(k.code, 0, flags), ch(k.c)) << k.code;
        EXPECT_EQ(down(k.code, 0, rightAlt), k.alt) << k.code;
    }
}

// Keys the same in every class (the lock keys, Caps Lock (0x14) and F24 (0x87)
// giving none), and the keys past the tables, given raw.
TEST(TranslateKeyRecord, SameInEveryClassAndRawKeys) {
    const std::pair<unsigned short, Event> same[] = {
        {0x01, Event::MouseButton}, {0x02, Event::MouseButton}, {0x04, Event::MouseButton}, {0x05, Event::MouseButton},
        {0x06, Event::MouseButton}, {0x10, Event::Shift}, {0x11, Event::Control}, {0x12, Event::Menu},
        {0x20, Event::Space}, {0x5B, Event::LeftWindows}, {0x5C, Event::RightWindows}, {0x5D, Event::Menu},
        {0x70, Event::F1}, {0x71, Event::F2}, {0x72, Event::F3}, {0x73, Event::F4},
        {0x74, Event::F5}, {0x75, Event::F6}, {0x76, Event::F7}, {0x77, Event::F8},
        {0x78, Event::F9}, {0x79, Event::F10}, {0x7A, Event::F11}, {0x7B, Event::F12},
        {0x7C, Event::F13}, {0x7D, Event::F14}, {0x7E, Event::F15}, {0x90, Event::NumLock},
        {0x91, Event::ScrollLock}, {0xA0, Event::LeftShift}, {0xA1, Event::RightShift}, {0xA2, Event::LeftControl},
        {0xA3, Event::RightControl}, {0xA4, Event::LeftMenu}, {0xA5, Event::RightMenu}, {0xA6, Event::BrowserBack},
        {0xA7, Event::BrowserForward}, {0xA8, Event::BrowserRefresh}, {0xA9, Event::BrowserStop}, {0xAA, Event::BrowserSearch},
        {0xAB, Event::BrowserFavorites}, {0xAC, Event::BrowserHome}, {0xAD, Event::VolumeMute}, {0xAE, Event::VolumeDown},
        {0xAF, Event::VolumeUp}, {0xB0, Event::MediaNextTrack}, {0xB1, Event::MediaPrevTrack}, {0xB2, Event::MediaStop},
        {0xB3, Event::MediaPlayPause}, {0xB4, Event::LaunchMail}, {0xB5, Event::LaunchMediaSelect}, {0xB6, Event::LaunchApp1},
        {0xB7, Event::LaunchApp2}, {0x14, Event::None}, {0x87, Event::None}, {0xDF, Event::None},
        {0x92, ch('=')},
    };
    for (unsigned flags : {0u, shift, leftCtrl, leftAlt, leftAlt | leftCtrl | shift}) {
        for (const auto& k : same) EXPECT_EQ(down(k.first, 0, flags), k.second) << k.first << ' ' << flags;
        EXPECT_EQ(down(0xE2, 0, flags), static_cast<Event>(0x203E2)) << flags;
    }
    EXPECT_EQ(down(0xFF), static_cast<Event>(0x203FF));
}

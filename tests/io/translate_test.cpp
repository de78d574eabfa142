// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <gtest/gtest.h>

#include <tav/io/keyboard.hpp>

using Tav::Event;
using Tav::IO::TranslateKeyRecord;

namespace {
constexpr unsigned short keyEvent = 0x0001;
constexpr unsigned rightAlt = 0x0001, leftAlt = 0x0002, rightCtrl = 0x0004, leftCtrl = 0x0008, shift = 0x0010,
                   numLock = 0x0020, capsLock = 0x0080, enhanced = 0x0100;

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

// The punctuation keys of a US layout: the character unmodified, an Alt event
// of their own under Alt.
TEST(TranslateKeyRecord, PunctuationKeys) {
    const struct {
        unsigned short code;
        char c;
        Event alt;
    } keys[] = {
        {0xBA, ';', Event::AltSemicolon},   {0xBB, '+', Event::AltPadAdd},  // plus/equals shares keypad add's
        {0xBC, ',', Event::AltComma},       {0xBD, '-', Event::AltMinus},         {0xBE, '.', Event::AltPeriod},
        {0xBF, '/', Event::AltSlash},       {0xC0, '`', Event::AltGrave},         {0xDB, '[', Event::AltLeftBracket},
        {0xDC, '\\', Event::AltBackslash}, {0xDD, ']', Event::AltRightBracket}, {0xDE, '\'', Event::AltQuote},
    };
    for (const auto& k : keys) {
        EXPECT_EQ(down(k.code), static_cast<Event>(k.c)) << k.c;
        EXPECT_EQ(down(k.code, 0, rightAlt), k.alt) << k.c;
    }
}

TEST(TranslateKeyRecord, KeypadUnderShift) {
    EXPECT_EQ(down(0x60, 0, shift), Event::ShiftPad0);
    EXPECT_EQ(down(0x61, 0, shift), Event::ShiftPad1);
    EXPECT_EQ(down(0x68, 0, shift), Event::ShiftPad8);
    EXPECT_EQ(down(0x67, 0, shift), Event::Pad7);  // no Shift value of its own
    EXPECT_EQ(down(0x69, 0, shift), Event::Pad9);
    EXPECT_EQ(down(0x6B, 0, shift), Event::ShiftPadAdd);
    EXPECT_EQ(down(0x64, 0, leftCtrl), Event::CtrlPad4);
    EXPECT_EQ(down(0x64, 0, leftAlt), Event::AltPad4);
    EXPECT_EQ(down(0x6E, 0, leftCtrl), Event::CtrlPadDecimal);
}

TEST(TranslateKeyRecord, SameInEveryClassAndRawKeys) {
    for (unsigned flags : {0u, shift, leftCtrl, leftAlt, leftAlt | leftCtrl | shift}) {
        EXPECT_EQ(down(0xE2, 0, flags), static_cast<Event>(0x203E2)) << flags;
        EXPECT_EQ(down(0x7E, 0, flags), Event::F15) << flags;
        EXPECT_EQ(down(0x70, 0, flags), Event::F1) << flags;
        EXPECT_EQ(down(0x12, 0, flags), Event::Menu) << flags;
        EXPECT_EQ(down(0x5D, 0, flags), Event::Menu) << flags;
        EXPECT_EQ(down(0x92, 0, flags), static_cast<Event>('=')) << flags;
        EXPECT_EQ(down(0xB7, 0, flags), Event::LaunchApp2) << flags;
        EXPECT_EQ(down(0xDF, 0, flags), Event::None) << flags;
        EXPECT_EQ(down(0x87, 0, flags), Event::None) << flags;  // F24
        EXPECT_EQ(down(0x14, 0, flags), Event::None) << flags;  // Caps Lock
    }
    EXPECT_EQ(down(0xFF), static_cast<Event>(0x203FF));
    EXPECT_EQ(down(0xA6), Event::BrowserBack);
}

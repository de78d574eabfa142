// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <cstdint>

namespace Tav {

/// Every named keyboard event with its value, in value order, as X(name, value).
/// Bits 16 to 31 tell the kind: 0 a character (its UTF-16 code unit; Tab, Enter,
/// Escape and Space are named), 1 the mouse button, 2 a named key, or a raw key
/// code above 0xDF as RawKeyBase plus the code.
#define TAV_EVENTS(X) \
    X(None, 0x00000) \
    X(Tab, 0x00009) \
    X(Enter, 0x0000D) \
    X(Escape, 0x0001B) \
    X(Space, 0x00020) \
    X(MouseButton, 0x10001) \
    X(ArrowDown, 0x20102) \
    X(ArrowUp, 0x20103) \
    X(ArrowLeft, 0x20104) \
    X(ArrowRight, 0x20105) \
    X(Home, 0x20106) \
    X(Backspace, 0x20107) \
    X(F1, 0x20109) \
    X(F2, 0x2010A) \
    X(F3, 0x2010B) \
    X(F4, 0x2010C) \
    X(F5, 0x2010D) \
    X(F6, 0x2010E) \
    X(F7, 0x2010F) \
    X(F8, 0x20110) \
    X(F9, 0x20111) \
    X(F10, 0x20112) \
    X(F11, 0x20113) \
    X(F12, 0x20114) \
    X(F13, 0x20115) \
    X(F14, 0x20116) \
    X(F15, 0x20117) \
    X(Delete, 0x2014A) \
    X(Insert, 0x2014B) \
    X(PageUp, 0x20152) \
    X(PageDown, 0x20153) \
    X(ShiftTab, 0x2015F) \
    X(End, 0x20166) \
    X(ShiftArrowLeft, 0x20187) \
    X(ShiftArrowRight, 0x20190) \
    X(Alt0, 0x20197) \
    X(Alt1, 0x20198) \
    X(Alt2, 0x20199) \
    X(Alt3, 0x2019A) \
    X(Alt4, 0x2019B) \
    X(Alt5, 0x2019C) \
    X(Alt6, 0x2019D) \
    X(Alt7, 0x2019E) \
    X(Alt8, 0x2019F) \
    X(Alt9, 0x201A0) \
    X(AltA, 0x201A1) \
    X(AltB, 0x201A2) \
    X(AltC, 0x201A3) \
    X(AltD, 0x201A4) \
    X(AltE, 0x201A5) \
    X(AltF, 0x201A6) \
    X(AltG, 0x201A7) \
    X(AltH, 0x201A8) \
    X(AltI, 0x201A9) \
    X(AltJ, 0x201AA) \
    X(AltK, 0x201AB) \
    X(AltL, 0x201AC) \
    X(AltM, 0x201AD) \
    X(AltN, 0x201AE) \
    X(AltO, 0x201AF) \
    X(AltP, 0x201B0) \
    X(AltQ, 0x201B1) \
    X(AltR, 0x201B2) \
    X(AltS, 0x201B3) \
    X(AltT, 0x201B4) \
    X(AltU, 0x201B5) \
    X(AltV, 0x201B6) \
    X(AltW, 0x201B7) \
    X(AltX, 0x201B8) \
    X(AltY, 0x201B9) \
    X(AltZ, 0x201BA) \
    X(CtrlArrowLeft, 0x201BB) \
    X(CtrlArrowRight, 0x201BC) \
    X(CtrlPageUp, 0x201BD) \
    X(CtrlPageDown, 0x201BE) \
    X(CtrlHome, 0x201BF) \
    X(CtrlEnd, 0x201C0) \
    X(Pad7, 0x201C1) \
    X(Pad8, 0x201C2) \
    X(Pad9, 0x201C3) \
    X(Pad4, 0x201C4) \
    X(Pad5, 0x201C5) \
    X(Pad6, 0x201C6) \
    X(Pad1, 0x201C7) \
    X(Pad2, 0x201C8) \
    X(Pad3, 0x201C9) \
    X(PadDivide, 0x201CA) \
    X(PadDecimal, 0x201CE) \
    X(PadMultiply, 0x201CF) \
    X(PadSubtract, 0x201D0) \
    X(PadAdd, 0x201D1) \
    X(CtrlPadDecimal, 0x201D2) \
    X(CtrlPadAdd, 0x201D4) \
    X(CtrlPadSubtract, 0x201D5) \
    X(CtrlPadDivide, 0x201D6) \
    X(CtrlPadMultiply, 0x201D7) \
    X(AltPadAdd, 0x201D8) \
    X(AltPadSubtract, 0x201D9) \
    X(AltPadDivide, 0x201DA) \
    X(AltPadMultiply, 0x201DB) \
    X(AltPadDecimal, 0x201DC) \
    X(CtrlInsert, 0x201DD) \
    X(AltDelete, 0x201DE) \
    X(AltInsert, 0x201DF) \
    X(CtrlArrowUp, 0x201E0) \
    X(CtrlArrowDown, 0x201E1) \
    X(CtrlTab, 0x201E2) \
    X(AltTab, 0x201E3) \
    X(AltMinus, 0x201E4) \
    X(AltHome, 0x201E6) \
    X(AltPageUp, 0x201E7) \
    X(AltPageDown, 0x201E8) \
    X(AltEnd, 0x201E9) \
    X(AltArrowUp, 0x201EA) \
    X(AltArrowDown, 0x201EB) \
    X(AltArrowRight, 0x201EC) \
    X(AltArrowLeft, 0x201ED) \
    X(AltEnter, 0x201EE) \
    X(AltEscape, 0x201EF) \
    X(AltGrave, 0x201F0) \
    X(AltLeftBracket, 0x201F1) \
    X(AltRightBracket, 0x201F2) \
    X(AltSemicolon, 0x201F3) \
    X(AltQuote, 0x201F4) \
    X(AltComma, 0x201F5) \
    X(AltPeriod, 0x201F6) \
    X(AltSlash, 0x201F7) \
    X(AltBackspace, 0x201F8) \
    X(CtrlBackspace, 0x201F9) \
    X(Pad0, 0x201FA) \
    X(CtrlPad0, 0x201FB) \
    X(CtrlPad1, 0x201FC) \
    X(CtrlPad2, 0x201FD) \
    X(CtrlPad3, 0x201FE) \
    X(CtrlPad4, 0x201FF) \
    X(CtrlPad5, 0x20200) \
    X(CtrlPad6, 0x20201) \
    X(CtrlPad7, 0x20202) \
    X(CtrlPad8, 0x20203) \
    X(CtrlPad9, 0x20204) \
    X(AltPad0, 0x20205) \
    X(AltPad1, 0x20206) \
    X(AltPad2, 0x20207) \
    X(AltPad3, 0x20208) \
    X(AltPad4, 0x20209) \
    X(AltPad5, 0x2020A) \
    X(AltPad6, 0x2020B) \
    X(AltPad7, 0x2020C) \
    X(AltPad8, 0x2020D) \
    X(AltPad9, 0x2020E) \
    X(CtrlDelete, 0x2020F) \
    X(AltBackslash, 0x20210) \
    X(CtrlEnter, 0x20211) \
    X(ShiftPadDivide, 0x20213) \
    X(ShiftPadMultiply, 0x20214) \
    X(ShiftPadAdd, 0x20215) \
    X(ShiftPadSubtract, 0x20216) \
    X(ShiftPad8, 0x20217) \
    X(ShiftPad1, 0x20218) \
    X(ShiftPad0, 0x20219) \
    X(ShiftPadDecimal, 0x2021A) \
    X(LeftShift, 0x2021C) \
    X(RightShift, 0x2021D) \
    X(LeftControl, 0x2021E) \
    X(RightControl, 0x2021F) \
    X(ShiftArrowUp, 0x20223) \
    X(ShiftArrowDown, 0x20224) \
    X(Shift, 0x20230) \
    X(Control, 0x20231) \
    X(Menu, 0x20232) \
    X(NumLock, 0x20238) \
    X(ScrollLock, 0x20239) \
    X(LeftWindows, 0x20240) \
    X(RightWindows, 0x20241) \
    X(LeftMenu, 0x20242) \
    X(RightMenu, 0x20243) \
    X(BrowserBack, 0x20256) \
    X(BrowserForward, 0x20257) \
    X(BrowserRefresh, 0x20258) \
    X(BrowserStop, 0x20259) \
    X(BrowserSearch, 0x2025A) \
    X(BrowserFavorites, 0x2025B) \
    X(BrowserHome, 0x2025C) \
    X(VolumeMute, 0x2025D) \
    X(VolumeDown, 0x2025E) \
    X(VolumeUp, 0x2025F) \
    X(MediaNextTrack, 0x20260) \
    X(MediaPrevTrack, 0x20261) \
    X(MediaStop, 0x20262) \
    X(MediaPlayPause, 0x20263) \
    X(LaunchMail, 0x20264) \
    X(LaunchMediaSelect, 0x20265) \
    X(LaunchApp1, 0x20266) \
    X(LaunchApp2, 0x20267) \
    X(RawKeyBase, 0x20300)

/// One keyboard event. Characters have no enumerators of their own but are
/// returned as Event values all the same: static_cast<char16_t>(event) is the
/// character when the value is below 0x10000.
enum class Event : std::int32_t {
#define TAV_EVENT_ENUMERATOR(name, value) name = value,
    TAV_EVENTS(TAV_EVENT_ENUMERATOR)
#undef TAV_EVENT_ENUMERATOR
};

}  // namespace Tav

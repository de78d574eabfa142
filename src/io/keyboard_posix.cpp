// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// Key presses from a POSIX terminal, decoded into the fields of a Windows key
// record and translated like one. For the time of a read the terminal is asked
// for unambiguous key reports where it takes them (xterm's modifyOtherKeys, the
// kitty keyboard protocol), so that keys which the legacy encodings merge
// (Ctrl+Enter and Enter, Alt+Tab and a character) arrive apart; the first read
// of a process asks the terminal what it is.
#include <chrono>
#include <deque>
#include <mutex>

#include <unistd.h>

#include <tav/io/keyboard.hpp>

#include "io/key_decoder_posix.hpp"

namespace Tav::IO {

namespace {

posix::KeyDecoder decoder(posix::nextByte, posix::giveBack);

// Events decoded and not yet returned: the second half of a character, keys
// typed while the first read waited for the terminal's replies.
std::deque<Event> queued;
bool asked = false;
std::mutex reading;  // calls take turns: the queue and the terminal are shared

void deliver(const posix::Record& r) {
    if (r.reply) return;
    queued.push_back(TranslateKeyRecord(1, true, r.key, r.character, r.flags));
    if (r.low) queued.push_back(TranslateKeyRecord(1, true, 0, r.low, 0));
}

// Asks the terminal what it is and waits for its replies: until the primary
// attributes reply, which comes last and which nearly every terminal gives, so
// that a local terminal costs one round trip. The bound is for a link of
// several hundred milliseconds (SSH between continents) or a terminal still
// starting on a busy machine; 2 s is what crossterm waits for the same
// sentinel, and a terminal that answers nothing costs it once per process.
// Asked once per process.
constexpr int repliesWaitMs = 2000;

void identify() {
    asked = true;
    if (!posix::query()) return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(repliesWaitMs);
    while (!decoder.replies.primary) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        const int b = left.count() > 0 ? posix::nextByte(static_cast<int>(left.count())) : -1;
        if (b < 0) break;
        deliver(decoder.decode(b));
    }
}

}  // namespace

Event GetKeyboardInput() {
    const std::lock_guard<std::mutex> lock(reading);
    if (queued.empty() && isatty(STDIN_FILENO)) {
        const posix::RawMode mode;  // before asking, so that replies are neither echoed nor held for a line
        if (mode.ok() && !asked) identify();
        if (mode.ok() && queued.empty()) {
            const posix::KeyReports reports(decoder.terminal);
            for (int b; queued.empty() && (b = posix::nextByte(-1)) >= 0;) deliver(decoder.decode(b));
        }
    }
    if (queued.empty()) return Event::None;
    const Event e = queued.front();
    queued.pop_front();
    return e;
}

}  // namespace Tav::IO

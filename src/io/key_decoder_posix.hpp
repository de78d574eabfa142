// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include "io/terminal_posix.hpp"

namespace Tav::IO::posix {

// One key press as the fields of a Windows key record, or a terminal's reply.
struct Record {
    unsigned short key = 0;  // Windows virtual-key code; 0 with no character gives None
    char16_t character = 0;
    unsigned flags = 0;
    char16_t low = 0;    // the second half of a character outside the Basic Multilingual Plane
    bool reply = false;  // the terminal's answer to a query: no key at all
};

// Decodes a terminal's bytes one key at a time, and keeps what the terminal
// says of itself. Its bytes come from outside: every sequence is consumed
// whole, whatever it holds, and none makes it keep more than a few hundred
// bytes. The bytes after a key's first come from `next`, which waits at most
// the milliseconds it is given and returns -1 when none came; `giveBack` makes
// a byte the next one `next` returns.
class KeyDecoder {
public:
    using Next = int (*)(int waitMs);
    using GiveBack = void (*)(int byte);

    KeyDecoder(Next next, GiveBack giveBack) : next(next), back(giveBack) {}

    // The key whose first byte is `first`; None's fields for bytes that mean no key.
    Record decode(int first) { return decode(first, 0); }

    // What the terminal has said of itself, complete with the primary
    // attributes, and what is asked of it, judged then.
    Replies replies;
    Terminal terminal;

private:
    int follow();
    Record reply(int marker, int final, const std::vector<long>& numbers);
    Record csi();
    Record ss3();
    Record deviceString();
    Record utf8(int first);
    Record escape(int depth);
    Record decode(int b, int depth);

    Next next;
    GiveBack back;
};

}  // namespace Tav::IO::posix

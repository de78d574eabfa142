// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// The terminal on standard input as the key reader uses it: its bytes, its mode
// for the time of a read, what it says of itself, and the requests that make
// its key reports unambiguous.
#pragma once

#include <string>
#include <vector>

namespace Tav::IO::posix {

// The next byte of input, waiting at most `waitMs` (forever when negative); -1
// when none came or the terminal is gone. A byte given back comes first.
int nextByte(int waitMs);
void giveBack(int byte);

// What the terminal said of itself, in the order it answers the queries.
struct Replies {
    bool kitty = false;           // an answer to the kitty protocol's query
    std::vector<long> secondary;  // the secondary device attributes
    std::string version;          // the name and version of XTVERSION
    bool primary = false;         // the primary device attributes: the last answer
};

// What a read asks of the terminal, judged from its replies once they are
// complete; nothing while they are not.
struct Terminal {
    bool kitty = false;      // the kitty keyboard protocol
    bool otherKeys = false;  // xterm's modifyOtherKeys
    bool keypad = false;     // keypad application mode
    bool putty = false;      // PuTTY's encodings of Ctrl with the cursor keys
};
Terminal judge(const Replies& replies, const char* term);

// Sends the queries whose replies `Replies` holds; false when the terminal
// cannot be written to.
bool query();

// Non-canonical, no-echo input for the length of one read; the saved mode is put
// back however the read ends.
class RawMode {
public:
    RawMode();
    ~RawMode();
    RawMode(const RawMode&) = delete;
    RawMode& operator=(const RawMode&) = delete;
    bool ok() const { return active; }

private:
    bool active = false;
};

// The requests `terminal` takes for the time of one read, taken back after it.
class KeyReports {
public:
    explicit KeyReports(const Terminal& terminal);
    ~KeyReports();
    KeyReports(const KeyReports&) = delete;
    KeyReports& operator=(const KeyReports&) = delete;
};

}  // namespace Tav::IO::posix

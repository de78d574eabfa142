// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// The POSIX key decoder over arbitrary bytes, as a terminal (or a program
// pretending to be one) may send them: keys, escape sequences with numeric
// parameters, UTF-8, and answers to the reader's queries, decoded one key after
// another by one decoder, as a process's reads are. No terminal is needed: the
// bytes come from the input.
#include <cstddef>
#include <cstdint>
#include <utility>

#include <tav/io/keyboard.hpp>

#include "fuzz.hpp"
#include "io/key_decoder_posix.hpp"

namespace {

const std::uint8_t* input;
std::size_t size, at;
int given = -1;

int next(int) {
    if (given >= 0) return std::exchange(given, -1);
    return at < size ? input[at++] : -1;
}

void giveBack(int byte) {
    // The decoder gives back at most the one byte it read too far.
    if (given >= 0) __builtin_trap();
    given = byte;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t bytes) {
    input = data;
    size = bytes;
    at = 0;
    given = -1;
    Tav::IO::posix::KeyDecoder decoder(next, giveBack);
    for (int first; (first = next(-1)) >= 0;) {
        const Tav::IO::posix::Record r = decoder.decode(first);
        // A reply is no key; a second half comes only after a first.
        if (r.reply && (r.key || r.character)) __builtin_trap();
        if (r.low && (r.character < 0xD800 || r.character > 0xDBFF || r.low < 0xDC00 || r.low > 0xDFFF))
            __builtin_trap();
        fuzzSink = fuzzSink + static_cast<std::uint64_t>(Tav::IO::TranslateKeyRecord(1, true, r.key, r.character, r.flags));
    }
    fuzzSink = fuzzSink + decoder.replies.secondary.size() + decoder.replies.version.size();
    return 0;
}

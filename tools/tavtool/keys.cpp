// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <csignal>
#include <cstdio>
#include <stdexcept>
#include <string>

#include <tav/io/keyboard.hpp>

#include "commands.hpp"
#include "text.hpp"

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace tavtool {

namespace {

const char* nameOf(Tav::Event event) {
    switch (event) {
#define TAV_EVENT_NAME(name, value) \
    case Tav::Event::name:          \
        return #name;
        TAV_EVENTS(TAV_EVENT_NAME)
#undef TAV_EVENT_NAME
        default:
            return nullptr;
    }
}

// A character value as UTF-8 text; surrogate halves are named instead.
std::string describe(Tav::Event event) {
    if (const char* name = nameOf(event)) return name;
    const auto value = static_cast<std::uint32_t>(event);
    if (value >= 0x10000) return "raw key";
    if (value >= 0xD800 && value <= 0xDFFF) return value < 0xDC00 ? "(high surrogate)" : "(low surrogate)";
    std::string text = "'";
    appendUtf8(text, value);
    return text + "'";
}

#if !defined(_WIN32)
// A signal during a read would leave the terminal in the reader's mode, with
// the key reports it asked for: put both back, then end as the signal would.
extern "C" void restoreAndEnd(int signal) {
    Tav::IO::RestoreTerminal();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
#endif

int showKeys() {
#if !defined(_WIN32)
    if (!isatty(STDIN_FILENO)) throw std::runtime_error("standard input is not a terminal");
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) std::signal(s, restoreAndEnd);
#endif
    std::printf("Press keys; Escape twice in a row ends.\n");
    std::fflush(stdout);
    bool lastWasEscape = false;
    for (;;) {
        const Tav::Event event = Tav::IO::GetKeyboardInput();
        std::printf("0x%05X %s\n", static_cast<unsigned>(event), describe(event).c_str());
        std::fflush(stdout);
        const bool escape = event == Tav::Event::Escape;
        if (escape && lastWasEscape) return 0;
        lastWasEscape = escape;
    }
}

}  // namespace

void addKeys(CLI::App& app, Run& run) {
    auto* cmd = app.add_subcommand("keys", "Show the event each key press gives, until Escape is pressed twice");
    cmd->callback([&run] {
        run = [] { return guarded("", showKeys); };
    });
}

}  // namespace tavtool

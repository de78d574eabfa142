// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// The library under storms of threads, one pattern a process so that a crash
// fails one run and not a whole suite:
//   storm switching   one timer switched on and off 200 times, a new callback
//                     each time, so that every call is told apart by the
//                     switching-on that started it
//   storm many        200 timers created, switched on at 1 ms and deleted
//   storm self        timers that delete themselves from their callback
//   storm threads     timers switched by several threads, each timer by one
//   storm library     the first locales of the process made at once on several
//                     threads (a value chosen once per process is made then),
//                     beside the CRC-32, Explode and Format
// Exits 0 when the pattern held: no call began after enabled(false) had returned
// but the one that may have been under way, every awaited call came, and every
// thread got the results one thread alone gets.
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <tav/tav.hpp>

#include "locale_writer.hpp"

using Tav::Threading::Timer;

namespace {

constexpr std::size_t rounds = 200;

// Waits until `done` holds; false after a minute, which only a hang takes.
template <class Predicate>
bool await(Predicate done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::yield();
    }
    return true;
}

std::array<std::atomic<int>, rounds> roundCalls{};

template <std::size_t Round>
int onRound(int, void*) {
    ++roundCalls[Round];
    return 0;
}

template <std::size_t... Round>
constexpr std::array<Timer::Callback, rounds> roundTable(std::index_sequence<Round...>) {
    return {&onRound<Round>...};
}

bool switching() {
    static constexpr auto callbacks = roundTable(std::make_index_sequence<rounds>{});
    std::array<int, rounds> atSwitchOff{};
    {
        Timer timer;
        timer.interval(1);
        for (std::size_t round = 0; round < rounds; ++round) {
            timer.tick(callbacks[round]);
            timer.enabled(true);
            if (round % 3 == 0) std::this_thread::yield();
            // Now and then a call under way when the timer is switched off.
            if (round % 4 == 0 && !await([&] { return roundCalls[round] > 0; })) {
                std::fprintf(stderr, "round %zu: no call within a minute\n", round);
                return false;
            }
            timer.enabled(false);
            atSwitchOff[round] = roundCalls[round];
        }
    }  // the destructor waits for every call under way: the counts are final
    for (std::size_t round = 0; round < rounds; ++round) {
        if (roundCalls[round] > atSwitchOff[round] + 1) {
            std::fprintf(stderr, "round %zu: %d calls after enabled(false) returned\n", round,
                         roundCalls[round] - atSwitchOff[round]);
            return false;
        }
    }
    return true;
}

std::atomic<int> calls{0};

int counting(int, void*) {
    ++calls;
    return 0;
}

bool many() {
    // Ten alive at a time: two hundred threads ticking at once swamp Wine's server.
    constexpr std::size_t alive = 10;
    std::vector<Timer*> timers;
    bool called = true;
    for (std::size_t i = 0; i < rounds + alive; ++i) {
        if (i < rounds) {
            timers.push_back(new Timer);
            timers.back()->interval(1);
            timers.back()->tick(counting);
            timers.back()->enabled(true);
        }
        if (i >= alive) {
            // Now and then one deleted with calls coming.
            if (i % 16 == 0) {
                const int before = calls;
                called = called && await([&] { return calls > before; });
            }
            delete timers[i - alive];
        }
    }
    const int after = calls;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (calls != after) std::fprintf(stderr, "%d calls after every timer was deleted\n", calls - after);
    if (!called) std::fprintf(stderr, "no call within a minute\n");
    return called && calls == after;
}

std::atomic<int> deleted{0};

int deleteSelf(int, void* timer) {
    delete static_cast<Timer*>(timer);
    ++deleted;
    return 0;
}

bool self() {
    constexpr int count = 50;
    for (int i = 0; i < count; ++i) {
        auto* timer = new Timer;
        timer->interval(1 + i % 3);
        timer->tick(deleteSelf);
        timer->enabled(true);
    }
    return await([] { return deleted == count; });
}

bool threads() {
    constexpr int workers = 4, each = 4, switches = 100;
    std::vector<std::thread> pool;
    for (int w = 0; w < workers; ++w) {
        pool.emplace_back([] {
            std::array<Timer, each> timers;
            for (Timer& timer : timers) {
                timer.interval(1);
                timer.tick(counting);
            }
            for (int s = 0; s < switches; ++s) {
                Timer& timer = timers[s % each];
                timer.enabled(!timer.enabled());
                if (s % 7 == 0) std::this_thread::yield();
            }
        });
    }
    for (std::thread& worker : pool) worker.join();
    return true;
}

bool library() {
    const std::string file = tavtool::localeFile("de", {{"hello", "Hallo"}, {"bye", "Tsch\xC3\xBC\x73s"}});
    constexpr int workers = 8;
    std::atomic<int> ready{0}, right{0};
    std::vector<std::thread> pool;
    for (int w = 0; w < workers; ++w) {
        pool.emplace_back([&] {
            ++ready;
            while (ready < workers) std::this_thread::yield();  // all at once
            std::istringstream in(file);
            Tav::International::Locale locale(in);
            const std::unique_ptr<std::string> line(Tav::String::Format("%s/%s", locale["hello"], "x"));
            const bool ok = std::string(locale["bye"]) == "Tsch\xC3\xBC\x73s" && *line == "Hallo/x" &&
                            Tav::Security::Hash::Crc32("123456789") == 0x20E56D24u &&
                            Tav::String::Explode("a,b,c", ',', 0).size() == 3;
            if (ok) ++right;
        });
    }
    for (std::thread& worker : pool) worker.join();
    if (right != workers) std::fprintf(stderr, "%d of %d threads got the wrong results\n", workers - right, workers);
    return right == workers;
}

}  // namespace

int main(int argc, char** argv) {
    const std::pair<const char*, bool (*)()> patterns[] = {
        {"switching", switching}, {"many", many}, {"self", self}, {"threads", threads}, {"library", library}};
    if (argc == 2) {
        for (const auto& [name, pattern] : patterns)
            if (std::strcmp(argv[1], name) == 0) return pattern() ? 0 : 1;
    }
    std::fprintf(stderr, "usage: storm switching|many|self|threads|library\n");
    return 2;
}

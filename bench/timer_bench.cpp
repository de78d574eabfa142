// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// Lateness of the timer's ticks, and how long switching off takes while the
// thread sleeps in a long pause.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include <tav/threading/timer.hpp>

namespace {

using Clock = std::chrono::steady_clock;

struct Ticks {
    std::vector<Clock::time_point> start, end;
    std::atomic<std::size_t> count{0};
};
Ticks* ticks = nullptr;

int record(int, void*) {
    const std::size_t i = ticks->count.load(std::memory_order_relaxed);
    if (i < ticks->start.size()) {
        ticks->start[i] = Clock::now();
        ticks->end[i] = Clock::now();
        ticks->count.store(i + 1, std::memory_order_release);
    }
    return 0;
}

// Lateness of each tick: the time from the end of one call to the start of the
// next, less the interval.
void Lateness(benchmark::State& state) {
    const auto interval = static_cast<unsigned>(state.range(0));
    const std::size_t wanted = interval == 1 ? 2000 : 300;
    std::vector<double> late;
    for (auto _ : state) {
        Ticks t;
        t.start.resize(wanted);
        t.end.resize(wanted);
        ticks = &t;
        Tav::Threading::Timer timer;
        timer.interval(interval);
        timer.tick(record);
        timer.enabled(true);
        while (t.count.load(std::memory_order_acquire) < wanted) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        timer.enabled(false);
        for (std::size_t i = 1; i < wanted; ++i)
            late.push_back(std::chrono::duration<double, std::micro>(t.start[i] - t.end[i - 1]).count() - interval * 1000.0);
    }
    std::sort(late.begin(), late.end());
    state.counters["median_us"] = late[late.size() / 2];
    state.counters["p99_us"] = late[late.size() * 99 / 100];
}
BENCHMARK(Lateness)->Arg(1)->Arg(10)->Iterations(1)->Unit(benchmark::kMillisecond);

// enabled(false) while the thread sleeps in an hour-long pause.
void SwitchOffDuringLongPause(benchmark::State& state) {
    Tav::Threading::Timer timer;
    timer.interval(3600 * 1000);
    timer.tick(record);
    for (auto _ : state) {
        state.PauseTiming();
        timer.enabled(true);
        std::this_thread::sleep_for(std::chrono::microseconds(200));  // let the thread reach its pause
        state.ResumeTiming();
        timer.enabled(false);
    }
}
BENCHMARK(SwitchOffDuringLongPause)->Iterations(200)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

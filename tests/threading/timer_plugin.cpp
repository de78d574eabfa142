// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// A plug-in that uses timers and is unloaded as soon as they are off: the
// timer's thread may still be in its callback or in the library then.
#include <atomic>
#include <memory>
#include <thread>

#include <tav/threading/timer.hpp>

#ifdef _WIN32
#define PLUGIN_API extern "C" __declspec(dllexport)
#else
#define PLUGIN_API extern "C" __attribute__((visibility("default")))
#endif

using Tav::Threading::Timer;

namespace {

std::atomic<int> calls{0};
std::atomic<bool> gone{false};

int counting(int, void*) {
    ++calls;
    std::this_thread::yield();  // a longer stay in the plug-in's code
    return 0;
}

int deleteSelf(int, void* timer) {
    delete static_cast<Timer*>(timer);
    gone = true;
    std::this_thread::yield();
    return 0;
}

// Destroyed when the plug-in is unloaded.
Timer kept;

}  // namespace

// Switches timers on and off, and returns once they are off.
PLUGIN_API int run(int round) {
    kept.interval(1);
    kept.tick(counting);
    kept.enabled(true);
    // Every other round, the timer is switched off while a call may be under way.
    while (round % 2 == 0 && calls == 0) std::this_thread::yield();
    kept.enabled(false);
    if (round % 4 == 0) {
        gone = false;
        auto* timer = new Timer;
        timer->interval(1);
        timer->tick(deleteSelf);
        timer->enabled(true);
        while (!gone) std::this_thread::yield();
    }
    return 0;
}

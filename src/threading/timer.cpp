// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <tav/threading/timer.hpp>

#include "threading/timer_thread.hpp"

namespace Tav::Threading {

Timer::Timer() noexcept : on(false), period(0), callback(nullptr), thread(nullptr), control(detail::newControl()) {
    stamp("TThrdTimer", 32);
}

Timer::~Timer() {
    enabled(false);
    // A callback may still be running with this timer's address: wait for it,
    // unless it is the one deleting the timer.
    detail::settle(*control);
    period = 0;
    callback = nullptr;
}

bool Timer::enabled() noexcept { return on; }

bool Timer::enabled(bool wanted) {
    if (wanted == on) return wanted;
    if (wanted) {
        // Set before the thread exists, as its callback may read it; a failed start puts it back.
        on = true;
        try {
            detail::start(control, thread, period, callback, this);
        } catch (...) {
            on = false;
            throw;
        }
    } else {
        detail::stop(*control, thread);
        on = false;
    }
    // Not `on`: once the thread runs, the callback may already have changed it.
    return wanted;
}

unsigned int Timer::interval() noexcept { return period; }

unsigned int Timer::interval(unsigned int milliseconds) noexcept { return period = milliseconds; }

bool Timer::tick(Callback f) noexcept {
    if (!f) return false;
    callback = f;
    return true;
}

}  // namespace Tav::Threading

// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <tav/threading/timer.hpp>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace Tav::Threading {

namespace detail {

struct TimerControl {
    std::mutex mutex;
    std::condition_variable wake;  // wakes sleeping threads when the timer is switched off
    std::condition_variable idle;  // tells a waiting destructor that a call has ended
    std::uint64_t generation = 0;  // each switch-off starts a new one; older threads end
    unsigned running = 0;          // calls under way, over all threads of the timer
};

}  // namespace detail

namespace {

// The timer whose callback this thread is running, if any: a destructor called
// from inside the callback must not wait for that very call.
thread_local const detail::TimerControl* callingFrom = nullptr;

void cycle(std::shared_ptr<detail::TimerControl> control, std::uint64_t generation, std::uint32_t period,
           Timer::Callback callback, Timer* timer) {
    if (!callback || period == 0) return;
    std::unique_lock<std::mutex> lock(control->mutex);
    const auto pause = std::chrono::milliseconds(period);
    for (;;) {
        if (control->wake.wait_for(lock, pause, [&] { return control->generation != generation; })) return;
        ++control->running;
        lock.unlock();
        callingFrom = control.get();
        callback(0, timer);
        callingFrom = nullptr;
        lock.lock();
        --control->running;
        control->idle.notify_all();
    }
}

}  // namespace

Timer::Timer() noexcept
    : on(false), period(0), callback(nullptr), thread(nullptr), control(std::make_shared<detail::TimerControl>()) {
    stamp("TThrdTimer", 32);
}

Timer::~Timer() {
    enabled(false);
    std::unique_lock<std::mutex> lock(control->mutex);
    const unsigned own = callingFrom == control.get() ? 1 : 0;
    control->idle.wait(lock, [&] { return control->running == own; });
    period = 0;
    callback = nullptr;
}

bool Timer::enabled() noexcept { return on; }

bool Timer::enabled(bool wanted) {
    if (wanted == on) return wanted;
    if (wanted) {
        // The new thread takes the lock first thing, so holding it until the fields
        // are set orders them before any call the callback makes on this timer.
        std::lock_guard<std::mutex> lock(control->mutex);
        // If the start fails, new releases the handle and the timer stays off.
        thread = new std::thread(cycle, control, control->generation, period, callback, this);
        on = true;
    } else {
        {
            std::lock_guard<std::mutex> lock(control->mutex);
            ++control->generation;
        }
        control->wake.notify_all();
        thread->detach();
        delete thread;
        thread = nullptr;
        on = false;
    }
    // Not `on`: once the lock is released, the callback may already have changed it.
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

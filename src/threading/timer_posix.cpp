// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// Timer threads as the standard library makes them.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <dlfcn.h>

#include "threading/timer_thread.hpp"

namespace Tav::Threading::detail {

struct TimerControl {
    std::mutex mutex;
    std::condition_variable wake;  // wakes sleeping threads when the timer is switched off
    std::condition_variable idle;  // tells a waiting destructor that a call has ended
    std::uint64_t generation = 0;  // each switch-off starts a new one; older threads end
    unsigned running = 0;          // calls under way, over all threads of the timer
};

namespace {

// The timer whose callback this thread is running, if any: a destructor called
// from inside the callback must not wait for that very call.
thread_local const TimerControl* callingFrom = nullptr;

// A plug-in may be unloaded right after switching its timer off, while the
// thread is still in its callback (one that deleted its own timer included).
// The shared object that holds the callback is made to stay for the rest of
// the process, as the library itself is linked to: a reference let go by the
// thread as it ends would race with the process's exit, which runs the
// object's destructors while the thread's dlclose unmaps it. Nothing to do for
// the program itself or for code outside any object.
void keepLoaded(Timer::Callback callback) {
    Dl_info info;
    if (!callback || !dladdr(reinterpret_cast<void*>(callback), &info) || !info.dli_fname) return;
    if (void* module = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE)) dlclose(module);
}

void cycle(std::shared_ptr<TimerControl> control, std::uint64_t generation, std::uint32_t period,
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

std::shared_ptr<TimerControl> newControl() { return std::make_shared<TimerControl>(); }

void start(const std::shared_ptr<TimerControl>& control, Thread& slot, std::uint32_t period, Timer::Callback callback,
           Timer* timer) {
    keepLoaded(callback);
    // The new thread takes the lock first thing, so holding it until the slot is
    // set orders that before any call the callback makes on the timer.
    std::lock_guard<std::mutex> lock(control->mutex);
    slot = new std::thread(cycle, control, control->generation, period, callback, timer);
}

void stop(TimerControl& control, Thread& thread) noexcept {
    {
        std::lock_guard<std::mutex> lock(control.mutex);
        ++control.generation;
    }
    control.wake.notify_all();
    thread->detach();
    delete thread;
    thread = nullptr;
}

void settle(TimerControl& control) noexcept {
    std::unique_lock<std::mutex> lock(control.mutex);
    const unsigned own = callingFrom == &control ? 1 : 0;
    control.idle.wait(lock, [&] { return control.running == own; });
}

}  // namespace Tav::Threading::detail

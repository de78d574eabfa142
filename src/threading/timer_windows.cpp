// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// Timer threads as Windows makes them: a native thread, a slim reader/writer
// lock and condition variables, so that nothing of a timer runs on the MinGW
// runtime's threads emulation, whose detaching of a thread that is starting or
// ending crashes programs; and no thread-local variable, whose emulation
// leaves per-thread destructors behind in a DLL that may be unloaded.
#include <windows.h>

#include <algorithm>
#include <system_error>

#include "threading/timer_thread.hpp"

// True once the process is ending (ntdll's own, which Windows documents).
extern "C" __declspec(dllimport) BOOLEAN NTAPI RtlDllShutdownInProgress();

namespace Tav::Threading::detail {

namespace {

// When the process exits, Windows ends every other thread wherever it stands
// (holding a timer's lock, or inside a call) before a DLL's static timers are
// destroyed: then there is nothing left to stop or to wait for, and the lock
// may never be released.
bool exiting() { return RtlDllShutdownInProgress() != FALSE; }

// A thread inside a call of the timer's callback.
struct Caller {
    DWORD thread;
    Caller* next;
};

class Hold {
public:
    explicit Hold(SRWLOCK& lock) : lock(lock) { AcquireSRWLockExclusive(&lock); }
    ~Hold() { ReleaseSRWLockExclusive(&lock); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

private:
    SRWLOCK& lock;
};

}  // namespace

struct TimerControl {
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE wake = CONDITION_VARIABLE_INIT;  // wakes pausing threads when the timer is switched off
    CONDITION_VARIABLE idle = CONDITION_VARIABLE_INIT;  // tells a waiting destructor that a call has ended
    std::uint64_t generation = 0;                       // each switch-off starts a new one; older threads end
    Caller* callers = nullptr;                          // the calls under way, over all threads of the timer
};

namespace {

// What a thread is handed: copies, never the Timer's fields.
struct Start {
    std::shared_ptr<TimerControl> control;
    std::uint64_t generation;
    std::uint32_t period;
    Timer::Callback callback;
    Timer* timer;
    // References to this library's module and the callback's, so that a program
    // may unload either as soon as the timer is off: the thread lets them go
    // only once it has left their code.
    HMODULE library;
    HMODULE caller;
};

HMODULE holdModule(const void* address) {
    HMODULE module = nullptr;
    if (!address || !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, static_cast<LPCWSTR>(address), &module))
        return nullptr;
    return module;
}

void releaseModule(HMODULE module) {
    if (module) FreeLibrary(module);
}

// The performance counter in milliseconds: the system's tick count moves in
// steps of about 16 ms, too coarse for short intervals.
std::uint64_t now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    const auto f = static_cast<std::uint64_t>(frequency.QuadPart), c = static_cast<std::uint64_t>(counter.QuadPart);
    return c / f * 1000 + c % f * 1000 / f;
}

// Pauses for the interval, the lock held around it; true if the timer was
// switched off meanwhile. Condition variables may wake spuriously, so the
// pause runs to a deadline.
bool pause(Start& start) {
    TimerControl& control = *start.control;
    const std::uint64_t deadline = now() + start.period;
    for (;;) {
        if (control.generation != start.generation) return true;
        const std::uint64_t time = now();
        if (time >= deadline) return false;
        const auto left = static_cast<DWORD>(std::min<std::uint64_t>(deadline - time, INFINITE - 1));
        SleepConditionVariableSRW(&control.wake, &control.lock, left, 0);
    }
}

void cycle(Start& start) {
    if (!start.callback || start.period == 0) return;
    TimerControl& control = *start.control;
    Caller self{GetCurrentThreadId(), nullptr};
    Hold hold(control.lock);
    while (!pause(start)) {
        self.next = control.callers;
        control.callers = &self;
        ReleaseSRWLockExclusive(&control.lock);
        start.callback(0, start.timer);
        AcquireSRWLockExclusive(&control.lock);
        for (Caller** link = &control.callers; *link; link = &(*link)->next) {
            if (*link == &self) {
                *link = self.next;
                break;
            }
        }
        WakeAllConditionVariable(&control.idle);
    }
}

DWORD WINAPI run(void* handed) {
    const HMODULE library = static_cast<Start*>(handed)->library;
    {
        const std::unique_ptr<Start> start(static_cast<Start*>(handed));
        cycle(*start);
        releaseModule(start->caller);
    }
    // Returning would run this library's code after the reference is let go.
    if (library) FreeLibraryAndExitThread(library, 0);
    return 0;
}

bool othersCalling(const TimerControl& control, DWORD self) {
    for (const Caller* caller = control.callers; caller; caller = caller->next)
        if (caller->thread != self) return true;
    return false;
}

}  // namespace

std::shared_ptr<TimerControl> newControl() { return std::make_shared<TimerControl>(); }

void start(const std::shared_ptr<TimerControl>& control, Thread& slot, std::uint32_t period, Timer::Callback callback,
           Timer* timer) {
    auto handed = std::make_unique<Start>(Start{control, 0, period, callback, timer,
                                                holdModule(reinterpret_cast<const void*>(&run)),
                                                holdModule(reinterpret_cast<const void*>(callback))});
    // The new thread takes the lock first thing, so holding it until the slot is
    // set orders that before any call the callback makes on the timer.
    Hold hold(control->lock);
    handed->generation = control->generation;
    const HANDLE thread = CreateThread(nullptr, 0, run, handed.get(), 0, nullptr);
    if (!thread) {
        const auto error = static_cast<int>(GetLastError());
        releaseModule(handed->library);
        releaseModule(handed->caller);
        throw std::system_error(error, std::system_category(), "the timer's thread cannot be started");
    }
    handed.release();
    slot = thread;
}

void stop(TimerControl& control, Thread& thread) noexcept {
    if (!exiting()) {
        {
            Hold hold(control.lock);
            ++control.generation;
        }
        WakeAllConditionVariable(&control.wake);
    }
    CloseHandle(thread);
    thread = nullptr;
}

void settle(TimerControl& control) noexcept {
    if (exiting()) return;
    const DWORD self = GetCurrentThreadId();
    Hold hold(control.lock);
    while (othersCalling(control, self)) SleepConditionVariableSRW(&control.idle, &control.lock, INFINITE, 0);
}

}  // namespace Tav::Threading::detail

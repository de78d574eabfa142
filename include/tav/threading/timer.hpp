// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <cstdint>
#include <memory>
#ifndef _WIN32
#include <thread>
#endif

#include <tav/core/object.hpp>
#include <tav/export.hpp>

namespace Tav::Threading {

namespace detail {
struct TimerControl;
}

/// Calls a function over and over on a background thread of its own, pausing for
/// the interval before each call. Set the interval and the callback, then switch
/// the timer on; a running thread keeps the interval and callback it started
/// with, so switch off and on again to apply new ones.
///
/// Switching off wakes the thread at once and, once enabled(false) has returned,
/// no new call starts; enabled(false) does not wait for a call under way, which
/// runs to its end. The destructor does wait for it, so that no callback runs
/// with the address of a destroyed timer; a callback may switch its own timer
/// off and on, or delete it. Calls on one Timer from several threads (the
/// callback's included) must be serialised by the application.
///
/// A program or plug-in may unload the library, or the module that holds a
/// callback, as soon as its timers are switched off or destroyed, though a
/// thread may still be leaving their code: on Windows a timer's thread holds
/// both loaded until it has ended; elsewhere both stay loaded for the rest of
/// the process once a timer has been switched on.
///
/// Because the destructor waits, never delete a timer while holding a lock its
/// callback takes: the callback waits for the lock, the destructor for the
/// callback. Release the lock first:
///
///     {
///         std::lock_guard<std::mutex> hold(shared);  // the callback locks `shared` too
///         timer->enabled(false);                     // does not wait: fine under the lock
///     }
///     delete timer;                                  // waits for a call under way, lock released
class TAV_API Timer : public Object {
public:
    /// The application's function: called with 0 and the timer's address.
    using Callback = int (*)(int, void*);

    Timer() noexcept;
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    /// Whether the timer is switched on.
    bool enabled() noexcept;
    /// Switches on (starting the thread; the first call comes one interval later)
    /// or off, and returns `on`. A failed thread start propagates the standard
    /// library's exception and leaves the timer off.
    bool enabled(bool on);

    /// The pause before each call, in milliseconds.
    unsigned int interval() noexcept;
    /// The pause before each call, in milliseconds; 0 makes the next thread end at once.
    unsigned int interval(unsigned int milliseconds) noexcept;

    /// Stores the callback, called with 0 and the timer's address. A null callback
    /// is refused: returns false and keeps the stored one.
    bool tick(Callback callback) noexcept;

private:
    bool on;
    std::uint32_t period;
    Callback callback;
#ifdef _WIN32
    void* thread;  // the native thread's handle: nothing of a timer runs on a threads emulation
#else
    std::thread* thread;
#endif
    /// Shared with the timer's threads, so that it outlives the timer for them.
    std::shared_ptr<detail::TimerControl> control;
};

}  // namespace Tav::Threading

// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// The platform's half of a timer: its threads, their pauses and their waking.
// timer.cpp keeps the Timer's state; timer_posix.cpp (std::thread) and
// timer_windows.cpp (native threads) start and stop the threads.
#pragma once

#include <cstdint>
#include <memory>

#include <tav/threading/timer.hpp>

namespace Tav::Threading::detail {

#ifdef _WIN32
using Thread = void*;
#else
using Thread = std::thread*;
#endif

/// What a timer shares with its threads, so that it outlives the timer for them.
struct TimerControl;

std::shared_ptr<TimerControl> newControl();

/// Starts a thread that calls `callback` with 0 and `timer` after every pause of
/// `period` milliseconds until the next stop(), ending at once if either is unset.
/// The thread is handed copies: later changes of the timer never reach it. `slot`
/// is set before the thread can make a call; if the start fails, the platform's
/// exception propagates and `slot` is left as it was.
void start(const std::shared_ptr<TimerControl>& control, Thread& slot, std::uint32_t period, Timer::Callback callback,
           Timer* timer);

/// Ends every thread started so far without waiting: it wakes, and starts no
/// further call once this has returned. Releases `thread` and clears it.
void stop(TimerControl& control, Thread& thread) noexcept;

/// Waits until no call of the timer is under way but the calling thread's own.
void settle(TimerControl& control) noexcept;

}  // namespace Tav::Threading::detail

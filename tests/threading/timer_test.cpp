// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

#if defined(__linux__)
#include <dirent.h>
#endif

#include <gtest/gtest.h>

#include <tav/threading/timer.hpp>

using Tav::Threading::Timer;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// What the callbacks saw; one record per test, reached through a global because
// a callback is a plain function.
struct Record {
    std::mutex mutex;
    std::condition_variable changed;
    int calls = 0;
    int otherCalls = 0;
    void* lastTimer = nullptr;
    int lastArgument = -1;
    std::set<std::thread::id> threads;
    Clock::time_point first{};

    // Waits until `done` holds, for at most `limit`.
    template <class Predicate>
    bool waitFor(Predicate done, std::chrono::milliseconds limit = 10s) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, limit, [&] { return done(*this); });
    }
    int count() {
        std::lock_guard<std::mutex> lock(mutex);
        return calls;
    }
};

Record* record = nullptr;

int counting(int argument, void* timer) {
    std::lock_guard<std::mutex> lock(record->mutex);
    if (record->calls++ == 0) record->first = Clock::now();
    record->lastArgument = argument;
    record->lastTimer = timer;
    record->threads.insert(std::this_thread::get_id());
    record->changed.notify_all();
    return 0;
}

int other(int, void*) {
    std::lock_guard<std::mutex> lock(record->mutex);
    ++record->otherCalls;
    record->changed.notify_all();
    return 0;
}

class TimerTest : public ::testing::Test {
protected:
    Record seen;
    void SetUp() override { record = &seen; }
    void TearDown() override { record = nullptr; }
};

#if defined(__linux__)
// The process's threads, from /proc.
std::size_t threadCount() {
    std::size_t n = 0;
    if (DIR* dir = opendir("/proc/self/task")) {
        while (dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.') ++n;
        closedir(dir);
    }
    return n;
}

// The process's threads now. A thread started and joined first makes sure that
// helper threads started lazily (ThreadSanitizer has one) are already counted.
std::size_t baseline() {
    std::thread([] {}).join();
    return threadCount();
}

// Waits until the process has at most `limit` threads (exited threads vanish a little later).
bool threadsDropTo(std::size_t limit) {
    const auto deadline = Clock::now() + 20s;
    while (threadCount() > limit) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}
#endif

}  // namespace

TEST_F(TimerTest, DefaultsAndSetters) {
    Timer timer;
    EXPECT_STREQ(timer.tag, "TThrdTimer");
    EXPECT_EQ(timer.size, 32u);
    EXPECT_FALSE(timer.enabled());
    EXPECT_EQ(timer.interval(), 0u);
    EXPECT_EQ(timer.interval(250), 250u);
    EXPECT_EQ(timer.interval(), 250u);
    EXPECT_EQ(timer.interval(0xFFFFFFFFu), 0xFFFFFFFFu);
    EXPECT_EQ(timer.interval(), 0xFFFFFFFFu);
    EXPECT_FALSE(timer.tick(nullptr));
    EXPECT_TRUE(timer.tick(counting));
    EXPECT_FALSE(timer.tick(nullptr));
    EXPECT_FALSE(timer.enabled(false));
    EXPECT_FALSE(timer.enabled());
}

TEST_F(TimerTest, TicksPeriodicallyOnOneThreadAfterOneInterval) {
    Timer timer;
    timer.interval(50);
    timer.tick(counting);
    const auto start = Clock::now();
    EXPECT_TRUE(timer.enabled(true));
    EXPECT_TRUE(timer.enabled(true));  // no second thread
    EXPECT_TRUE(timer.enabled());
    ASSERT_TRUE(seen.waitFor([](Record& r) { return r.calls >= 5; }));
    const auto elapsed = Clock::now() - start;
    EXPECT_FALSE(timer.enabled(false));
    std::lock_guard<std::mutex> lock(seen.mutex);
    EXPECT_GE(seen.first - start, 50ms);  // the first call waits one interval
    EXPECT_GE(elapsed, 5 * 50ms);         // and so does every later one
    EXPECT_EQ(seen.lastArgument, 0);
    EXPECT_EQ(seen.lastTimer, &timer);
    EXPECT_EQ(seen.threads.size(), 1u);
    EXPECT_EQ(seen.threads.count(std::this_thread::get_id()), 0u);
}

TEST_F(TimerTest, NoCallAfterSwitchingOff) {
    Timer timer;
    timer.interval(1);
    timer.tick(counting);
    timer.enabled(true);
    ASSERT_TRUE(seen.waitFor([](Record& r) { return r.calls >= 3; }));
    timer.enabled(false);
    const int calls = seen.count();
    std::this_thread::sleep_for(100ms);  // a hundred intervals: any call would show
    EXPECT_EQ(seen.count(), calls);

    Timer early;
    early.interval(100);
    early.tick(other);
    early.enabled(true);
    early.enabled(false);  // within the first interval
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(seen.otherCalls, 0);
}

TEST_F(TimerTest, ChangesReachTheThreadOnlyAfterOffAndOn) {
    Timer timer;
    timer.interval(5);
    timer.tick(counting);
    timer.enabled(true);
    ASSERT_TRUE(seen.waitFor([](Record& r) { return r.calls >= 2; }));
    timer.tick(other);
    timer.interval(100000);
    ASSERT_TRUE(seen.waitFor([](Record& r) { return r.calls >= 6; }));  // still f, still every 5 ms
    EXPECT_EQ(seen.otherCalls, 0);
    timer.interval(5);
    timer.enabled(false);
    timer.enabled(true);
    EXPECT_TRUE(seen.waitFor([](Record& r) { return r.otherCalls >= 2; }));
}

TEST_F(TimerTest, ZeroIntervalOrNoCallbackMakesNoCall) {
#if defined(__linux__)
    const std::size_t before = baseline();
#endif
    Timer zero;
    zero.tick(counting);
    EXPECT_TRUE(zero.enabled(true));
    Timer none;
    none.interval(1);
    EXPECT_TRUE(none.enabled(true));
#if defined(__linux__)
    EXPECT_TRUE(threadsDropTo(before));  // both threads end at once
#else
    std::this_thread::sleep_for(50ms);
#endif
    EXPECT_TRUE(zero.enabled());
    EXPECT_TRUE(none.enabled());
    EXPECT_EQ(seen.count(), 0);
    EXPECT_FALSE(zero.enabled(false));
    EXPECT_FALSE(none.enabled(false));
}

#if defined(__linux__)
TEST_F(TimerTest, SwitchingOffWakesTheThread) {
    const std::size_t before = baseline();
    Timer timer;
    timer.interval(3600 * 1000);
    timer.tick(counting);
    // An hour-long interval: a thread left asleep would outlive the test by far.
    // A few hundred rounds show that; thousands only strain emulators' thread
    // handling (qemu-user once crashed on such churn).
    for (int i = 0; i < 300; ++i) {
        timer.enabled(true);
        timer.enabled(false);
    }
    EXPECT_TRUE(threadsDropTo(before + 2)) << threadCount() << " threads left";
}
#endif

namespace {
std::atomic<bool> slowStarted{false};
std::atomic<bool> slowFinished{false};
int slow(int, void*) {
    slowStarted = true;
    std::this_thread::sleep_for(200ms);
    slowFinished = true;
    return 0;
}
}  // namespace

TEST_F(TimerTest, DestructorWaitsForACallUnderWay) {
    slowStarted = slowFinished = false;
    {
        Timer timer;
        timer.interval(1);
        timer.tick(slow);
        timer.enabled(true);
        while (!slowStarted) std::this_thread::yield();
        timer.enabled(false);  // does not wait
        EXPECT_FALSE(slowFinished);
        timer.enabled(true);   // a second thread; the first call is still running
    }
    EXPECT_TRUE(slowFinished);  // the destructor waited for it
}

namespace {
// Callbacks that act on their own timer. `selfDone` counts calls that have
// finished with the timer, so that the test reads the timer only after them.
std::atomic<int> selfCalls{0};
std::atomic<int> selfDone{0};
int switchOff(int, void* self) {
    ++selfCalls;
    static_cast<Timer*>(self)->enabled(false);
    ++selfDone;
    return 0;
}
int restart(int, void* self) {
    auto* timer = static_cast<Timer*>(self);
    const int call = ++selfCalls;
    timer->enabled(false);
    if (call < 3) timer->enabled(true);
    ++selfDone;
    return 0;
}
std::atomic<bool> deleted{false};
int destroy(int, void* self) {
    delete static_cast<Timer*>(self);
    deleted = true;
    return 0;
}
}  // namespace

TEST_F(TimerTest, CallbackActsOnItsOwnTimer) {
    const auto deadline = Clock::now() + 10s;
    const auto waitDone = [&](int n) {
        while (selfDone < n && Clock::now() < deadline) std::this_thread::sleep_for(1ms);
        std::this_thread::sleep_for(50ms);  // fifty intervals: a stray call would show
    };
    selfCalls = selfDone = 0;
    Timer offTimer;
    offTimer.interval(1);
    offTimer.tick(switchOff);
    offTimer.enabled(true);
    waitDone(1);
    EXPECT_EQ(selfCalls, 1);
    EXPECT_FALSE(offTimer.enabled());

    selfCalls = selfDone = 0;
    Timer again;
    again.interval(1);
    again.tick(restart);
    again.enabled(true);
    waitDone(3);
    EXPECT_EQ(selfCalls, 3);
    EXPECT_FALSE(again.enabled());

    deleted = false;
    auto* doomed = new Timer;
    doomed->interval(1);
    doomed->tick(destroy);
    doomed->enabled(true);
    while (!deleted && Clock::now() < deadline) std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(deleted);
}

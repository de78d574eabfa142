// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
// A Timer that counts its calls until it has been called five times. The callback
// runs on the timer's own thread and gets only the timer's address, so the timer
// here is a small class that carries a pointer to its owner, and it is the owner's
// last member: members are destroyed last to first, so the timer goes first, and
// its destructor waits for a call under way while everything the callback uses
// still exists. (Freeing that state in a class derived from Timer instead would
// free it while a call may still be using it.)
#include <condition_variable>
#include <iostream>
#include <mutex>

#include <tav/tav.hpp>

class Counter {
public:
    explicit Counter(unsigned int milliseconds) {
        timer.owner = this;
        timer.interval(milliseconds);
        timer.tick(&Counter::onTick);
        timer.enabled(true);
    }

    // Waits until the callback has run `calls` times.
    void await(int calls) {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return count >= calls; });
    }

private:
    struct Ticker : Tav::Threading::Timer {
        Counter* owner = nullptr;  // a pointer only: nothing here to free
    };

    static int onTick(int, void* timer) {
        Counter& self = *static_cast<Ticker*>(timer)->owner;
        {
            const std::lock_guard<std::mutex> lock(self.mutex);
            ++self.count;
        }
        self.changed.notify_all();
        return 0;
    }

    std::mutex mutex;
    std::condition_variable changed;
    int count = 0;
    Ticker timer;  // last: destroyed first, waiting for a call under way
};

int main() {
    Counter counter(10);
    counter.await(5);
    std::cout << "the timer called back five times\n";
}

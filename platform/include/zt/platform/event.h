// Auto-reset and manual-reset events with timed waits, over a mutex and a condition variable.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace zt::platform {

// Signalled state wakes exactly one waiter and clears itself; a signal with no waiter is kept until the
// next wait, so a wake-up sent while the waiter is busy is never lost.
class AutoResetEvent {
public:
    void signal();
    void reset();
    void wait();
    // True when signalled within `timeout`, false on time-out.
    [[nodiscard]] bool waitFor(std::chrono::milliseconds timeout);

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool signalled_ = false;
};

// Stays signalled, waking every waiter, until reset.
class ManualResetEvent {
public:
    explicit ManualResetEvent(bool initiallySignalled = false) : signalled_(initiallySignalled) {}
    void signal();
    void reset();
    void wait();
    [[nodiscard]] bool waitFor(std::chrono::milliseconds timeout);
    [[nodiscard]] bool isSignalled();

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool signalled_;
};

}  // namespace zt::platform

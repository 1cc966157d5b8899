// The busy lock of a handle: one exported operation at a time. A second caller tries for a short while
// and gives up; the teardown waits without limit. The try is measured on the steady clock, so a step of
// the wall clock can neither lengthen nor cut it short.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace zt::sdk {

class BusyLock {
public:
    using Clock = std::chrono::steady_clock;
    static_assert(Clock::is_steady);

    BusyLock() = default;
    BusyLock(const BusyLock&) = delete;
    BusyLock& operator=(const BusyLock&) = delete;

    void lock() {
        std::unique_lock guard(mutex_);
        freed_.wait(guard, [this] { return !held_; });
        held_ = true;
    }
    [[nodiscard]] bool try_lock() {
        std::lock_guard guard(mutex_);
        if (held_) return false;
        held_ = true;
        return true;
    }
    template <class Rep, class Period>
    [[nodiscard]] bool try_lock_for(std::chrono::duration<Rep, Period> wait) {
        const auto deadline = Clock::now() + wait;
        std::unique_lock guard(mutex_);
        if (!freed_.wait_until(guard, deadline, [this] { return !held_; })) return false;
        held_ = true;
        return true;
    }
    void unlock() {
        {
            std::lock_guard guard(mutex_);
            held_ = false;
        }
        freed_.notify_one();
    }

private:
    std::mutex mutex_;
    std::condition_variable freed_;
    bool held_ = false;
};

}  // namespace zt::sdk

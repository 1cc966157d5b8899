// The worker's wake-up event: resets itself when a waiter is released; a signal given while nobody
// waits is kept for the next wait, so no wake-up is lost.
//
// Two kinds of signal: one asks the worker to run its front entry (a request came, or the front entry
// is due); the other only asks it to compute its wait again (a reconnect was scheduled for later).
// Running a not-yet-due entry would postpone it by another 5 s, so a drop's reconnect would come at
// 18 s instead of 13 s.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <stop_token>

namespace talvo {

enum class Wake { Run, Reschedule, TimedOut, Stopped };

class WakeEvent {
public:
    void signal() { raise(run_); }
    void signalReschedule() { raise(reschedule_); }

    // Waits for a signal, at most `timeout` (nothing: no limit), or until stop is requested. A run
    // signal wins over a reschedule signal given at the same time; both are cleared.
    Wake wait(std::optional<std::chrono::milliseconds> timeout, std::stop_token stop) {
        std::unique_lock lock(mutex_);
        const auto ready = [this] { return run_ || reschedule_; };
        const bool woken = timeout ? changed_.wait_for(lock, stop, *timeout, ready) : changed_.wait(lock, stop, ready);
        const bool run = run_;
        run_ = reschedule_ = false;
        if (stop.stop_requested()) return Wake::Stopped;
        if (!woken) return Wake::TimedOut;
        return run ? Wake::Run : Wake::Reschedule;
    }

private:
    void raise(bool& flag) {
        {
            std::lock_guard lock(mutex_);
            flag = true;
        }
        changed_.notify_one();
    }

    std::mutex mutex_;
    std::condition_variable_any changed_;
    bool run_ = false;
    bool reschedule_ = false;
};

}  // namespace talvo

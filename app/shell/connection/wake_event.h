// The worker's wake-up event: resets itself when a waiter is released; a signal given while nobody
// waits is kept for the next wait, so no wake-up is lost.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <stop_token>

namespace talvo {

class WakeEvent {
public:
    void signal() {
        {
            std::lock_guard lock(mutex_);
            signalled_ = true;
        }
        changed_.notify_one();
    }
    // Waits for a signal, at most `timeout` (nothing: no limit), or until stop is requested. Returns
    // whether it was signalled.
    bool wait(std::optional<std::chrono::milliseconds> timeout, std::stop_token stop) {
        std::unique_lock lock(mutex_);
        const auto ready = [this] { return signalled_; };
        const bool woken = timeout ? changed_.wait_for(lock, stop, *timeout, ready) : changed_.wait(lock, stop, ready);
        signalled_ = false;
        return woken;
    }

private:
    std::mutex mutex_;
    std::condition_variable_any changed_;
    bool signalled_ = false;
};

}  // namespace talvo

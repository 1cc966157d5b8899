#include "zt/platform/event.h"

namespace zt::platform {

// Notifying under the lock lets a waiter destroy the event as soon as its wait returns: the signaller is
// done with the condition variable before the waiter can take the mutex.
void AutoResetEvent::signal() {
    std::lock_guard lock(mutex_);
    signalled_ = true;
    cv_.notify_one();
}

void AutoResetEvent::reset() {
    std::lock_guard lock(mutex_);
    signalled_ = false;
}

void AutoResetEvent::wait() {
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [this] { return signalled_; });
    signalled_ = false;
}

bool AutoResetEvent::waitFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!cv_.wait_for(lock, timeout, [this] { return signalled_; })) return false;
    signalled_ = false;
    return true;
}

void ManualResetEvent::signal() {
    std::lock_guard lock(mutex_);
    signalled_ = true;
    cv_.notify_all();
}

void ManualResetEvent::reset() {
    std::lock_guard lock(mutex_);
    signalled_ = false;
}

void ManualResetEvent::wait() {
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [this] { return signalled_; });
}

bool ManualResetEvent::waitFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, timeout, [this] { return signalled_; });
}

bool ManualResetEvent::isSignalled() {
    std::lock_guard lock(mutex_);
    return signalled_;
}

}  // namespace zt::platform

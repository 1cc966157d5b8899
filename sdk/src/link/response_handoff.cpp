#include "link/response_handoff.h"

namespace zt::sdk {

bool ResponseHandoff::handOver(const wire::FrameHeader& header) {
    std::unique_lock lock(mutex_);
    if (sessionCancelled_) return false;
    header_ = header;
    handed_ = true;
    cv_.notify_all();
    cv_.wait(lock, [this] { return !handed_ || sessionCancelled_; });
    const bool released = !handed_;
    handed_ = false;
    return released;
}

ResponseHandoff::Wait ResponseHandoff::await(std::chrono::milliseconds timeout, wire::FrameHeader& header) {
    std::unique_lock lock(mutex_);
    if (!cv_.wait_for(lock, timeout, [this] { return handed_ || abort_ || shutdown_; })) return Wait::TimedOut;
    if (abort_ || shutdown_) return Wait::Aborted;
    header = header_;
    return Wait::Arrived;
}

void ResponseHandoff::release() {
    {
        std::lock_guard lock(mutex_);
        if (!handed_) return;
        handed_ = false;
    }
    cv_.notify_all();
}

void ResponseHandoff::requestAbort() {
    {
        std::lock_guard lock(mutex_);
        abort_ = true;
    }
    cv_.notify_all();
}

void ResponseHandoff::clearAbort() {
    std::lock_guard lock(mutex_);
    abort_ = false;
}

void ResponseHandoff::requestShutdown() {
    {
        std::lock_guard lock(mutex_);
        shutdown_ = true;
    }
    cv_.notify_all();
}

bool ResponseHandoff::abortRequested() const {
    std::lock_guard lock(mutex_);
    return abort_ || shutdown_;
}

void ResponseHandoff::cancelSession() {
    {
        std::lock_guard lock(mutex_);
        sessionCancelled_ = true;
    }
    cv_.notify_all();
}

void ResponseHandoff::beginSession() {
    std::lock_guard lock(mutex_);
    sessionCancelled_ = false;
    handed_ = false;
}

}  // namespace zt::sdk

#include "link/exchange_state.h"

namespace zt::sdk {

std::optional<std::uint8_t> ExchangeState::open() {
    std::lock_guard lock(mutex_);
    if (abort_ || shutdown_) return std::nullopt;
    open_ = true;
    expectedRetry_ = 0;
    freeHandedLocked();  // nothing can be handed over between exchanges; stays safe if that changes
    return sequence_;
}

void ExchangeState::freeHandedLocked() {
    if (!handed_) return;
    handed_ = false;
    cv_.notify_all();
}

void ExchangeState::expectRetry(std::uint8_t retry) {
    std::lock_guard lock(mutex_);
    expectedRetry_ = retry;
    freeHandedLocked();
}

ExchangeState::Wait ExchangeState::await(std::chrono::milliseconds timeout, Response& response) {
    std::unique_lock lock(mutex_);
    if (!cv_.wait_for(lock, timeout, [this] { return handed_ || abort_ || shutdown_; })) return Wait::TimedOut;
    if (abort_ || shutdown_) return Wait::Aborted;
    response = response_;
    return Wait::Arrived;
}

void ExchangeState::release() {
    std::lock_guard lock(mutex_);
    freeHandedLocked();
}

void ExchangeState::close(bool finished) {
    std::lock_guard lock(mutex_);
    open_ = false;
    expectedRetry_ = 0;
    if (finished) ++sequence_;
    freeHandedLocked();
    cv_.notify_all();  // close() of the link may wait for this
}

bool ExchangeState::abortRequested() const {
    std::lock_guard lock(mutex_);
    return abort_ || shutdown_;
}

bool ExchangeState::exchangeOpen() const {
    std::lock_guard lock(mutex_);
    return open_;
}

ExchangeState::Offer ExchangeState::offer(const wire::FrameHeader& header, std::span<const std::uint8_t> payload) {
    std::unique_lock lock(mutex_);
    if (sessionCancelled_) return Offer::Cancelled;
    if (!open_) return Offer::Dropped;  // nobody waits for it
    if (header.retry != expectedRetry_) return expectedRetry_ == 0 ? Offer::Flush : Offer::Dropped;
    response_ = {header, payload};
    handed_ = true;
    cv_.notify_all();
    cv_.wait(lock, [this] { return !handed_ || sessionCancelled_; });
    if (handed_) {  // cancelled while the exchange had it; the exchange is aborted by the same close
        handed_ = false;
        return Offer::Cancelled;
    }
    return Offer::Taken;
}

void ExchangeState::beginSession() {
    std::lock_guard lock(mutex_);
    sessionCancelled_ = false;
    handed_ = false;
}

void ExchangeState::requestAbort() {
    std::lock_guard lock(mutex_);
    abort_ = true;
    cv_.notify_all();
}

bool ExchangeState::waitClosed(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, timeout, [this] { return !open_; });
}

void ExchangeState::clearAbort() {
    std::lock_guard lock(mutex_);
    abort_ = false;
}

void ExchangeState::requestShutdown() {
    std::lock_guard lock(mutex_);
    shutdown_ = true;
    cv_.notify_all();
}

void ExchangeState::cancelSession() {
    std::lock_guard lock(mutex_);
    sessionCancelled_ = true;
    cv_.notify_all();
}

std::uint8_t ExchangeState::sequence() const {
    std::lock_guard lock(mutex_);
    return sequence_;
}

}  // namespace zt::sdk

#include "transport/memory_pipe.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace zt::sdk {

struct MemoryEnd::State {
    mutable std::mutex mutex;
    mutable std::condition_variable cv;
    std::array<std::deque<std::uint8_t>, 2> toSide;  // bytes waiting to be read by side 0 / side 1
    std::array<bool, 2> closed{false, false};
    std::array<bool, 2> cancelled{false, false};
    std::optional<bool> carrier;
    std::uint64_t carrierVersion = 0;
    std::array<int, 2> failingWrites{0, 0};  // writes of side 0 / side 1 still to fail
    std::array<IoStatus, 2> writeFailure{IoStatus::Failed, IoStatus::Failed};
};

MemoryPipe MemoryPipe::create(std::optional<bool> carrier) {
    auto state = std::make_shared<MemoryEnd::State>();
    state->carrier = carrier;
    MemoryPipe pipe;
    pipe.sdkEnd = std::make_unique<MemoryEnd>(MemoryEnd::Key{}, state, 0);
    pipe.peerEnd = std::make_unique<MemoryEnd>(MemoryEnd::Key{}, state, 1);
    return pipe;
}

MemoryEnd::~MemoryEnd() { hangUp(); }

namespace {

// What a wait of `side` found, checked in this order: cancelled, data, lost, carrier change.
template <class S>
std::optional<IoStatus> ready(const S& s, int side, std::uint64_t carrierSeen) {
    if (s.cancelled[side]) return IoStatus::Cancelled;
    if (!s.toSide[side].empty()) return IoStatus::Ok;
    if (s.closed[0] || s.closed[1]) return IoStatus::Lost;
    if (s.carrierVersion != carrierSeen) return IoStatus::TimedOut;
    return std::nullopt;
}

}  // namespace

IoStatus MemoryEnd::waitReadable(std::chrono::milliseconds timeout) {
    std::unique_lock lock(state_->mutex);
    std::optional<IoStatus> status;
    const auto done = [&] { return (status = ready(*state_, side_, carrierSeen_)).has_value(); };
    if (timeout.count() < 0) {
        state_->cv.wait(lock, done);
    } else if (!state_->cv.wait_for(lock, timeout, done)) {
        status = IoStatus::TimedOut;
    }
    carrierSeen_ = state_->carrierVersion;
    return *status;
}

IoStatus MemoryEnd::read(std::span<std::uint8_t> buffer, std::size_t& got, std::chrono::milliseconds firstByteTimeout) {
    got = 0;
    std::unique_lock lock(state_->mutex);
    auto& queue = state_->toSide[side_];
    const auto done = [&] {
        return state_->cancelled[side_] || !queue.empty() || state_->closed[0] || state_->closed[1];
    };
    if (!state_->cv.wait_for(lock, firstByteTimeout, done)) return IoStatus::TimedOut;
    if (state_->cancelled[side_]) return IoStatus::Cancelled;
    if (queue.empty()) return IoStatus::Lost;
    got = std::min(buffer.size(), queue.size());
    std::copy_n(queue.begin(), got, buffer.begin());
    queue.erase(queue.begin(), queue.begin() + static_cast<std::ptrdiff_t>(got));
    return IoStatus::Ok;
}

IoStatus MemoryEnd::writeAll(std::span<const std::uint8_t> bytes, std::chrono::milliseconds) {
    {
        std::lock_guard lock(state_->mutex);
        if (state_->closed[0] || state_->closed[1]) return IoStatus::Lost;
        if (state_->failingWrites[side_] > 0) {
            --state_->failingWrites[side_];
            if (state_->writeFailure[side_] != IoStatus::Lost) return state_->writeFailure[side_];
            state_->closed[side_] = true;
            state_->cv.notify_all();
            return IoStatus::Lost;
        }
        auto& queue = state_->toSide[1 - side_];
        queue.insert(queue.end(), bytes.begin(), bytes.end());
    }
    state_->cv.notify_all();
    return IoStatus::Ok;
}

void MemoryEnd::failOtherEndWrites(int count, IoStatus status) {
    std::lock_guard lock(state_->mutex);
    state_->failingWrites[1 - side_] = count;
    state_->writeFailure[1 - side_] = status;
}

std::optional<bool> MemoryEnd::carrierDetect() const {
    std::lock_guard lock(state_->mutex);
    return state_->carrier;
}

void MemoryEnd::cancel() {
    {
        std::lock_guard lock(state_->mutex);
        state_->cancelled[side_] = true;
    }
    state_->cv.notify_all();
}

void MemoryEnd::hangUp() {
    {
        std::lock_guard lock(state_->mutex);
        state_->closed[side_] = true;
    }
    state_->cv.notify_all();
}

void MemoryEnd::setCarrier(bool on) {
    {
        std::lock_guard lock(state_->mutex);
        state_->carrier = on;
        ++state_->carrierVersion;
    }
    state_->cv.notify_all();
}

bool MemoryEnd::waitForHangUp(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(state_->mutex);
    return state_->cv.wait_for(lock, timeout, [this] { return state_->closed[1 - side_]; });
}

bool MemoryEnd::otherEndClosed() const {
    std::lock_guard lock(state_->mutex);
    return state_->closed[1 - side_];
}

}  // namespace zt::sdk

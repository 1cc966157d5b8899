#include "frame_log.h"

namespace zt::sim {

void FrameLog::add(ReceivedFrame frame) {
    {
        const std::lock_guard lock(mutex_);
        frames_.push_back(std::move(frame));
    }
    added_.notify_all();
}

std::vector<ReceivedFrame> FrameLog::snapshot() const {
    const std::lock_guard lock(mutex_);
    return frames_;
}

bool FrameLog::waitFor(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return added_.wait_for(lock, timeout, [&] { return frames_.size() >= count; });
}

void FrameLog::clear() {
    const std::lock_guard lock(mutex_);
    frames_.clear();
}

}  // namespace zt::sim

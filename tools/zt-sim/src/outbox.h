// Bytes other threads hand to a scanner's worker for writing. Only the worker writes to the terminal,
// so frames never interleave, not even with an answer that goes out in pieces.
#pragma once

#include "zt/platform/unique_fd.h"
#include "zt/sim/simulator.h"

#include <deque>
#include <mutex>

namespace zt::sim {

class Outbox {
public:
    void push(Bytes bytes);
    [[nodiscard]] std::deque<Bytes> takeAll();
    // Readable while sends wait; also signalled to stop the worker.
    [[nodiscard]] const platform::WakeFd& wake() const { return wake_; }

private:
    platform::WakeFd wake_;
    std::mutex mutex_;
    std::deque<Bytes> queued_;
};

}  // namespace zt::sim

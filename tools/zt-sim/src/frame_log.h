// Frames a scanner received, shared between its worker (which adds) and the test (which waits and reads).
#pragma once

#include "zt/sim/simulator.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

namespace zt::sim {

class FrameLog {
public:
    void add(ReceivedFrame frame);
    [[nodiscard]] std::vector<ReceivedFrame> snapshot() const;
    [[nodiscard]] bool waitFor(std::size_t count, std::chrono::milliseconds timeout) const;
    void clear();

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable added_;
    std::vector<ReceivedFrame> frames_;
};

}  // namespace zt::sim

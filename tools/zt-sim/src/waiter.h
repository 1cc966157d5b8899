// The worker's sleeps. They end early when the worker is asked to stop, so that a scanner never holds
// up its own shutdown, not even in the middle of a slow or split answer.
#pragma once

#include "zt/platform/unique_fd.h"
#include "zt/sim/simulator.h"

#include <stop_token>

namespace zt::sim {

class Waiter {
public:
    // `wake` is signalled on stop; its other signals (queued sends) are drained here too, which is why
    // the worker looks at its outbox and its stop flag after every sleep before it blocks again.
    Waiter(const platform::WakeFd& wake, std::stop_token stop) : wake_(wake), stop_(std::move(stop)) {}

    [[nodiscard]] bool stopping() const { return stop_.stop_requested(); }
    // False when the worker must stop.
    [[nodiscard]] bool sleepUntil(Clock::time_point deadline) const;
    // True once `fd` takes bytes again; false on stop or when the deadline passed first.
    [[nodiscard]] bool waitWritable(int fd, Clock::time_point deadline) const;

private:
    // True when `fd` (if any) reported an event before the deadline and no stop came.
    [[nodiscard]] bool waitFor(int fd, short events, Clock::time_point deadline) const;

    const platform::WakeFd& wake_;
    std::stop_token stop_;
};

}  // namespace zt::sim

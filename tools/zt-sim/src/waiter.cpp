#include "waiter.h"

#include <poll.h>

#include <array>

namespace zt::sim {

bool Waiter::sleepUntil(Clock::time_point deadline) const {
    [[maybe_unused]] const bool woken = waitFor(-1, 0, deadline);
    return !stopping();
}

bool Waiter::waitWritable(int fd, Clock::time_point deadline) const { return waitFor(fd, POLLOUT, deadline); }

bool Waiter::waitFor(int fd, short events, Clock::time_point deadline) const {
    // poll() ignores entries with a negative descriptor, which makes this a plain sleep when fd is -1.
    std::array<pollfd, 2> fds{{{wake_.fd(), POLLIN, 0}, {fd, events, 0}}};
    while (!stopping()) {
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) return false;
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
        const timespec timeout{seconds.count(), (left - seconds) / std::chrono::nanoseconds(1)};
        if (::ppoll(fds.data(), fds.size(), &timeout, nullptr) < 0) continue;  // EINTR
        if ((fds[0].revents & POLLIN) != 0) wake_.clear();
        if (fds[1].revents != 0) return !stopping();
    }
    return false;
}

}  // namespace zt::sim

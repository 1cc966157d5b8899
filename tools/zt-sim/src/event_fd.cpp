#include "event_fd.h"

#include <sys/eventfd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

namespace zt::sim {

EventFd::EventFd() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (!fd_.valid()) throw std::system_error(errno, std::generic_category(), "eventfd");
}

void EventFd::signal() const {
    const std::uint64_t one = 1;
    // Only fails when the counter is saturated, and then the descriptor is readable anyway.
    [[maybe_unused]] const auto written = ::write(fd_.get(), &one, sizeof one);
}

void EventFd::drain() const {
    std::uint64_t count = 0;
    // Non-blocking: EAGAIN just means there was nothing to drain.
    [[maybe_unused]] const auto got = ::read(fd_.get(), &count, sizeof count);
}

}  // namespace zt::sim

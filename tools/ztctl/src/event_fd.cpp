#include "event_fd.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

namespace ztctl {

EventFd::EventFd() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (!fd_.valid()) throw std::system_error(errno, std::generic_category(), "eventfd");
}

void EventFd::signal() const {
    const std::uint64_t one = 1;
    // Only fails when the counter is about to overflow, and then the descriptor is readable anyway.
    [[maybe_unused]] const auto written = ::write(fd_.get(), &one, sizeof one);
}

void EventFd::clear() const {
    std::uint64_t value = 0;
    [[maybe_unused]] const auto got = ::read(fd_.get(), &value, sizeof value);
}

}  // namespace ztctl

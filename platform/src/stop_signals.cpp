#include "zt/platform/stop_signals.h"

#include <poll.h>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <system_error>

namespace zt::platform {

namespace {

sigset_t stopSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

}  // namespace

StopSignals::StopSignals() {
    const sigset_t set = stopSet();
    if (const int error = ::pthread_sigmask(SIG_BLOCK, &set, nullptr); error != 0) {
        throw std::system_error(error, std::generic_category(), "pthread_sigmask");
    }
    fd_ = UniqueFd(::signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK));
    if (!fd_.valid()) throw std::system_error(errno, std::generic_category(), "signalfd");
}

std::optional<int> StopSignals::take() const {
    signalfd_siginfo info{};
    if (::read(fd_.get(), &info, sizeof info) != static_cast<ssize_t>(sizeof info)) return std::nullopt;
    return static_cast<int>(info.ssi_signo);
}

int StopSignals::wait() const {
    for (;;) {
        if (const auto signal = take()) return *signal;
        pollfd p{fd_.get(), POLLIN, 0};
        if (::poll(&p, 1, -1) < 0 && errno != EINTR) throw std::system_error(errno, std::generic_category(), "poll");
    }
}

}  // namespace zt::platform

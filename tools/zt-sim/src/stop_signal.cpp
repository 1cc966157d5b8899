#include "stop_signal.h"

#include <sys/signalfd.h>

#include <cerrno>
#include <system_error>

namespace zt::sim::cli {
namespace {

sigset_t stopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

}  // namespace

StopSignal::StopSignal() {
    const sigset_t set = stopSignals();
    if (const int error = ::pthread_sigmask(SIG_BLOCK, &set, &previous_); error != 0) {
        throw std::system_error(error, std::generic_category(), "pthread_sigmask");
    }
    fd_ = UniqueFd(::signalfd(-1, &set, SFD_CLOEXEC));
    if (!fd_.valid()) {
        const int error = errno;
        ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
        throw std::system_error(error, std::generic_category(), "signalfd");
    }
}

StopSignal::~StopSignal() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

int StopSignal::wait() const {
    signalfd_siginfo info{};
    while (::read(fd_.get(), &info, sizeof info) != static_cast<ssize_t>(sizeof info)) {
        if (errno != EINTR) return SIGTERM;  // cannot wait any longer: behave as if told to stop
    }
    return static_cast<int>(info.ssi_signo);
}

}  // namespace zt::sim::cli

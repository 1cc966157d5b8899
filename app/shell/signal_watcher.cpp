#include "shell/signal_watcher.h"

#include <QSocketNotifier>

#include <sys/signalfd.h>
#include <unistd.h>
#include <csignal>

namespace talvo {
namespace {

sigset_t terminationSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    return set;
}

}  // namespace

void SignalWatcher::blockSignals() {
    const sigset_t set = terminationSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

SignalWatcher::SignalWatcher(QObject* parent) : QObject(parent) {
    const sigset_t set = terminationSignals();
    fd_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd_ < 0) return;
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalWatcher::readSignals);
}

SignalWatcher::~SignalWatcher() {
    if (fd_ >= 0) ::close(fd_);
}

void SignalWatcher::readSignals() {
    signalfd_siginfo info{};
    while (::read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
        emit terminationRequested(static_cast<int>(info.ssi_signo));
}

}  // namespace talvo

#include "interruptible.h"

#include "scanner_session.h"
#include "usage_error.h"
#include "zt/platform/unique_fd.h"
#include "zt/scandata/atomic_file.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace ztctl {
namespace {

constexpr int kExitSecondSignal = 130;

// Waits until one of the descriptors is readable; returns its index, or nothing (with the reason on
// stderr) when poll() fails for another reason than a signal.
std::optional<std::size_t> waitReadable(std::span<const int> fds) {
    std::vector<pollfd> polled;
    for (const int fd : fds) polled.push_back({fd, POLLIN, 0});
    while (true) {
        const int ready = ::poll(polled.data(), polled.size(), -1);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) {
            std::fprintf(stderr, "ztctl: cannot wait for signals and reports: %s\n", std::strerror(errno));
            return std::nullopt;
        }
        for (std::size_t i = 0; i < polled.size(); ++i) {
            if (polled[i].revents != 0) return i;
        }
    }
}

bool isYes(std::string answer) {
    std::erase_if(answer, [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; });
    std::ranges::transform(answer, answer.begin(), [](char c) { return static_cast<char>(std::tolower(c)); });
    return answer == "y" || answer == "yes";
}

}  // namespace

int runInterruptible(const StopSignals& signals, LiveReports& reports,
                     const std::function<int(std::stop_token)>& work) {
    const zt::platform::WakeFd done;
    int result = 1;
    std::exception_ptr failure;
    std::jthread worker([&](std::stop_token stop) {
        try {
            result = work(stop);
        } catch (...) {
            failure = std::current_exception();
        }
        done.signal();
    });
    // The shutdown runs on a thread of its own, so that this one still sees a second signal at once even
    // when closing takes its time.
    std::optional<std::jthread> stopping;
    // In this order: a pending signal wins over the end of the work, and reports are printed before it.
    const int fds[] = {signals.fd(), reports.fd(), done.fd()};
    bool waitFailed = false;
    for (auto ready = waitReadable(fds); ready != std::size_t{2}; ready = waitReadable(fds)) {
        if (!ready) {
            // Signals can no longer be seen: the work is stopped as on the first one, and fails.
            waitFailed = true;
            worker.request_stop();
            if (!stopping) stopping.emplace([] { SdkShutdown::shutdownNow(); });
            break;
        }
        if (ready == std::size_t{1}) {
            reports.printPending();
            continue;
        }
        if (!signals.take()) continue;
        if (stopping) {
            zt::scandata::removeUncommittedFiles();
            std::fputs("ztctl: stopped at once\n", stderr);
            std::_Exit(kExitSecondSignal);
        }
        std::fputs("ztctl: interrupted; closing the scanners\n", stderr);
        worker.request_stop();
        stopping.emplace([] { SdkShutdown::shutdownNow(); });
    }
    worker.join();
    stopping.reset();  // joins
    reports.printPending();
    if (failure) std::rethrow_exception(failure);
    return waitFailed ? kExitFailed : result;
}

bool confirm(const StopSignals& signals, std::string_view question) {
    std::fputs((std::string(question) + " [y/N] ").c_str(), stderr);
    std::fflush(stderr);
    std::string answer;
    const int fds[] = {STDIN_FILENO, signals.fd()};
    while (true) {
        if (waitReadable(fds) != std::size_t{0}) {  // a stop signal, or no way to wait: no
            std::fputs("\n", stderr);
            return false;
        }
        char c = 0;
        const auto got = ::read(STDIN_FILENO, &c, 1);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (got <= 0 || c == '\n') break;
        answer += c;
    }
    return isYes(answer);
}

}  // namespace ztctl

#include "connection/connection_worker.h"

#include "connection/connection_core.h"

#include <chrono>
#include <optional>

namespace talvo {

ConnectionWorker::ConnectionWorker(ConnectionCore& core)
    : core_(core), thread_([this](std::stop_token stop) { loop(stop); }) {}

ConnectionWorker::~ConnectionWorker() { stop(); }

void ConnectionWorker::requestStop() { thread_.request_stop(); }

void ConnectionWorker::stop() {
    requestStop();
    if (thread_.joinable()) thread_.join();
}

void ConnectionWorker::loop(std::stop_token stop) {
    std::optional<std::chrono::milliseconds> wait;  // nothing: until woken
    for (;;) {
        const Wake wake = core_.wakeEvent().wait(wait, stop);
        if (wake == Wake::Stopped) return;
        wait.reset();

        if (wake != Wake::Reschedule) {
            const auto entry = core_.takeFront();
            if (!entry) continue;
            if (core_.run(*entry, stop) == AttemptOutcome::Postpone) core_.postpone(*entry);
        }

        const auto due = core_.frontDue();
        if (!due) continue;
        const Tick now = core_.now();
        if (*due != 0 && tickBefore(now, *due)) {
            wait = std::chrono::milliseconds(tickDiff(*due, now)) + core_.delays().wakeSlack;
        } else {
            core_.wakeEvent().signal();  // due now: run it on the next turn
        }
    }
}

}  // namespace talvo

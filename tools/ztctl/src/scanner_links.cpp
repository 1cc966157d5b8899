#include "scanner_links.h"

#include "ports.h"
#include "sdk_result.h"

#include <algorithm>

namespace ztctl {
namespace {

std::string seconds(std::chrono::milliseconds delay) {
    const auto tenths = (delay.count() + 50) / 100;
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10 != 0) text += "." + std::to_string(tenths % 10);
    return text + " s";
}

std::string retriesText(int left) { return std::to_string(left) + (left == 1 ? " retry" : " retries") + " left"; }

}  // namespace

ScannerLinks::ScannerLinks(const std::vector<unsigned>& ports, ReconnectPolicy policy) : policy_(policy) {
    for (const unsigned port : ports) links_[port] = Link{};
}

std::string ScannerLinks::opened(unsigned port) {
    auto& link = at(port);
    const bool again = link.reconnecting;
    link = Link{State::Connected};
    return portLabel(port) + (again ? ": reconnected" : ": connected");
}

std::string ScannerLinks::openFailed(unsigned port, int error, Clock::time_point now) {
    auto& link = at(port);
    if (!link.reconnecting) {
        link.state = State::Failed;
        return portLabel(port) + ": " + describeResult(error);
    }
    const std::string why = portLabel(port) + ": reconnect failed: " + describeResult(error);
    if (zt::client::ReconnectSchedule::takeRetry(link.retriesLeft)) {
        link.due += policy_.schedule.retryDelay;
        link.state = State::Waiting;
        const auto wait = std::max(std::chrono::duration_cast<std::chrono::milliseconds>(link.due - now),
                                   std::chrono::milliseconds(0));
        return why + "; next try in " + seconds(wait) + " (" + retriesText(link.retriesLeft) + ")";
    }
    link.state = State::Failed;
    return why + "; giving up";
}

std::string ScannerLinks::lost(unsigned port, Clock::time_point now) {
    auto& link = at(port);
    if (policy_.retries <= 0) {
        link = Link{State::Failed};
        return portLabel(port) + ": connection lost (no reconnect: --retries 0)";
    }
    const auto wait = policy_.schedule.firstDelay(false);
    link = Link{State::Waiting, true, policy_.retries, now + wait};
    return portLabel(port) + ": connection lost; reconnecting in " + seconds(wait);
}

std::vector<unsigned> ScannerLinks::takeDue(Clock::time_point now) {
    std::vector<unsigned> due;
    for (auto& [port, link] : links_) {
        if (link.state == State::Waiting && link.due <= now) {
            link.state = State::Connecting;
            due.push_back(port);
        }
    }
    return due;
}

std::optional<ScannerLinks::Clock::time_point> ScannerLinks::nextDue() const {
    std::optional<Clock::time_point> next;
    for (const auto& [port, link] : links_) {
        if (link.state == State::Waiting && (!next || link.due < *next)) next = link.due;
    }
    return next;
}

bool ScannerLinks::anyAlive() const {
    return std::ranges::any_of(links_, [](const auto& entry) { return entry.second.state != State::Failed; });
}

bool ScannerLinks::anyFailed() const {
    return std::ranges::any_of(links_, [](const auto& entry) { return entry.second.state == State::Failed; });
}

}  // namespace ztctl

// The connection state of each scanner that `listen` serves, and the retry rule: a scanner that drops is
// tried again after the first delay, then after each retry delay while retries are left; a first
// connection that fails is not retried. Every change returns the line to show on stderr.
#pragma once

#include "reconnect_policy.h"

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ztctl {

class ScannerLinks {
public:
    using Clock = std::chrono::steady_clock;

    // Every port starts as connecting.
    ScannerLinks(const std::vector<unsigned>& ports, ReconnectPolicy policy);

    [[nodiscard]] std::string opened(unsigned port);
    [[nodiscard]] std::string openFailed(unsigned port, int error, Clock::time_point now);
    [[nodiscard]] std::string lost(unsigned port, Clock::time_point now);

    // The ports whose next attempt is due at `now`; they count as connecting from then on.
    [[nodiscard]] std::vector<unsigned> takeDue(Clock::time_point now);
    // The earliest time an attempt is due, if one is waiting.
    [[nodiscard]] std::optional<Clock::time_point> nextDue() const;

    // Whether any scanner is connected, connecting or waiting for its next attempt.
    [[nodiscard]] bool anyAlive() const;
    // Whether a scanner failed to connect at first, or was given up after its retries.
    [[nodiscard]] bool anyFailed() const;

private:
    enum class State { Connecting, Connected, Waiting, Failed };
    struct Link {
        State state = State::Connecting;
        bool reconnecting = false;
        int retriesLeft = 0;
        Clock::time_point due{};
    };

    Link& at(unsigned port) { return links_.at(port); }

    ReconnectPolicy policy_;
    std::map<unsigned, Link> links_;
};

}  // namespace ztctl

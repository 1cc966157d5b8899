// When a scanner that dropped is tried again. The first attempt waits 13 s, or 45 s when it was the last
// connected one of four or more listed scanners: the Bluetooth stack needs that long to let go of a
// dropped link, and asked earlier it refuses the connection. A failed attempt with retries left moves
// the next one back by 5 s. The connection manager of the program and `ztctl listen` both follow it.
#pragma once

#include <chrono>

namespace zt::client {

struct ReconnectSchedule {
    static constexpr std::chrono::milliseconds kAfterDrop{13000};
    static constexpr std::chrono::milliseconds kAfterLastOfMany{45000};
    static constexpr std::chrono::milliseconds kRetryDelay{5000};
    // Listed scanners from which the longer wait applies to the last connected one.
    static constexpr int kManyListed = 4;
    // Attempts after the first one (the program's "ConnectRetry", ztctl's --retries).
    static constexpr int kDefaultRetries = 3;

    // Tests shorten the waits; the program and ztctl run with these.
    std::chrono::milliseconds afterDrop = kAfterDrop;
    std::chrono::milliseconds afterLastOfMany = kAfterLastOfMany;
    std::chrono::milliseconds retryDelay = kRetryDelay;

    // The wait before the first attempt after a drop.
    [[nodiscard]] std::chrono::milliseconds firstDelay(bool lastOfMany) const {
        return lastOfMany ? afterLastOfMany : afterDrop;
    }
    // Whether the scanner that dropped was the last connected one of many listed.
    [[nodiscard]] static constexpr bool lastOfMany(int stillConnected, int listed) {
        return stillConnected == 0 && listed >= kManyListed;
    }
    // After a failed attempt: true (and one retry fewer left) when another attempt follows, retryDelay
    // after the failed one's due time.
    [[nodiscard]] static constexpr bool takeRetry(int& retriesLeft) {
        if (retriesLeft <= 0) return false;
        --retriesLeft;
        return true;
    }
};

}  // namespace zt::client

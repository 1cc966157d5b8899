// Every delay of the connection manager, in one place. The program always runs with the shipped
// values; tests shorten them.
#pragma once

#include <chrono>
#include <cstdint>

namespace talvo {

struct ConnectionDelays {
    // First reconnect attempt after a scanner dropped.
    std::chrono::milliseconds afterDrop{13000};
    // ... when it was the last connected one while the Connect page lists four or more scanners: give
    // the Bluetooth stack time to settle before it is asked again.
    std::chrono::milliseconds afterLastOfMany{45000};
    // A failed attempt with retries left, or one that was not yet due, moves back by this much.
    std::chrono::milliseconds postpone{5000};
    // The worker sleeps this much past the front entry's due time, so that it wakes with it due.
    std::chrono::milliseconds wakeSlack{100};
    // Added to the tick count; tests start the clock just before the 32-bit tick wraps.
    std::uint32_t tickOffset = 0;

    [[nodiscard]] static ConnectionDelays shipped() { return {}; }
};

// Listed scanners from which the longer delay applies to the last connected one.
inline constexpr int kManyListedScanners = 4;

}  // namespace talvo

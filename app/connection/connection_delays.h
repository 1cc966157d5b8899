// Every delay of the connection manager, in one place. The program always runs with the shipped
// values; tests shorten them.
#pragma once

#include "zt/client/reconnect_schedule.h"

#include <chrono>
#include <cstdint>

namespace talvo {

struct ConnectionDelays {
    // After a drop: the first attempt after reconnect.afterDrop (reconnect.afterLastOfMany for the last
    // connected one of many listed). A failed attempt with retries left, or one that was not yet due,
    // moves back by reconnect.retryDelay.
    zt::client::ReconnectSchedule reconnect;
    // The worker sleeps this much past the front entry's due time, so that it wakes with it due.
    std::chrono::milliseconds wakeSlack{100};
    // Added to the tick count; tests start the clock just before the 32-bit tick wraps.
    std::uint32_t tickOffset = 0;

    [[nodiscard]] static ConnectionDelays shipped() { return {}; }
};

}  // namespace talvo

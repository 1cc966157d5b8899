// Every wait of the link and the engine, in one place. The shipped library always uses the defaults;
// internal tests shorten them to keep the suite fast.
#pragma once

#include <chrono>

namespace zt::sdk {

struct Timings {
    // Settle time after the port opens, before the first request: the scanner's serial profile needs it
    // after the Bluetooth link comes up.
    std::chrono::milliseconds settleAfterOpen{1000};
    // How long open waits for the receive thread to start listening (eleven 100 ms polls originally).
    std::chrono::milliseconds receiverReadyWait{1100};
    // A read waits this long for its first byte; silence this long in the middle of a frame drops it.
    std::chrono::milliseconds readTimeout{500};
    // One wait for the response to a request; three of them per block.
    std::chrono::milliseconds responseWait{1000};
    // Close waits at most this long for a running exchange to stop and for the receive thread to go idle.
    std::chrono::milliseconds closeWait{3000};
    // Carrier-detect is sampled this often on ports that have modem lines.
    std::chrono::milliseconds carrierPoll{100};
    // Write time-out: per byte plus a constant.
    std::chrono::milliseconds writePerByte{30};
    std::chrono::milliseconds writeConstant{30};
};

// Repeats of one request block: the first write plus two more.
inline constexpr int kMaxTimeoutsPerBlock = 2;
inline constexpr int kMaxMismatchesPerBlock = 2;

}  // namespace zt::sdk

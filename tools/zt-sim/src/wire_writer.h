// Writes the scanner's bytes to the master side of its terminal. Partial writes are continued; a full
// terminal is waited for, but never longer than kStuckTimeout, so a peer that stopped reading cannot hang
// the scanner. With a baud rate set, bytes go out at the wire speed.
#pragma once

#include "waiter.h"
#include "zt/sim/simulator.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <span>

namespace zt::sim {

// Time `bytes` take on the wire at 10 bits a byte.
[[nodiscard]] Clock::duration wireTime(std::size_t bytes, unsigned baud);

class WireWriter {
public:
    static constexpr std::chrono::seconds kStuckTimeout{1};

    WireWriter(int fd, const Waiter& waiter, const std::atomic<unsigned>& baud)
        : fd_(fd), waiter_(waiter), baud_(baud) {}

    // False when the bytes could not all be written: line gone, peer stuck, or the worker stopping.
    [[nodiscard]] bool write(std::span<const std::uint8_t> bytes);

private:
    [[nodiscard]] bool writePaced(std::span<const std::uint8_t> bytes, unsigned baud);
    [[nodiscard]] bool writeNow(std::span<const std::uint8_t> bytes);

    int fd_;
    const Waiter& waiter_;
    const std::atomic<unsigned>& baud_;
    Clock::time_point lineFree_{};  // when the wire has carried everything written so far
};

}  // namespace zt::sim

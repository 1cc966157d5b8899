// Cuts frames out of the byte stream the scanner reads. Bytes before a sync byte are noise and dropped;
// the end of a frame follows from its length field alone, since payloads may contain the sync byte.
#pragma once

#include "zt/sim/simulator.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace zt::sim {

struct ParsedFrame {
    wire::FrameHeader header;
    Bytes payload;
};

class FrameParser {
public:
    // Room for the largest frame the length field can describe, so a full buffer always holds a frame.
    static constexpr std::size_t kCapacity = wire::kFrameOverhead + 0xFFFF;

    FrameParser();

    // Stores as much of `bytes` as fits and returns how many bytes it took. Take frames out with next()
    // to make room for the rest.
    [[nodiscard]] std::size_t feed(std::span<const std::uint8_t> bytes);
    // The next complete frame, or nothing until more bytes arrive.
    [[nodiscard]] std::optional<ParsedFrame> next();
    [[nodiscard]] std::size_t buffered() const { return size_; }

private:
    void discard(std::size_t count);

    std::vector<std::uint8_t> buffer_;
    std::size_t size_ = 0;
};

}  // namespace zt::sim

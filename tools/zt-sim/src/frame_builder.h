// Whole frames as bytes, for everything the scanner writes.
#pragma once

#include "zt/sim/simulator.h"

#include <cstdint>
#include <optional>
#include <span>

namespace zt::sim {

// Header fields as given except the length, which follows the payload. Nothing when the payload is
// longer than the length field can describe.
[[nodiscard]] std::optional<Bytes> buildFrame(wire::FrameHeader header, std::span<const std::uint8_t> payload);

// A packet the scanner starts itself: type with the request bit, block and retry 0.
[[nodiscard]] std::optional<Bytes> buildPacket(wire::PacketType type, std::span<const std::uint8_t> record,
                                               std::uint8_t seq);

}  // namespace zt::sim

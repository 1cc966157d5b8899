#include "frame_builder.h"

#include <limits>

namespace zt::sim {

std::optional<Bytes> buildFrame(wire::FrameHeader header, std::span<const std::uint8_t> payload) {
    if (payload.size() > std::numeric_limits<std::uint16_t>::max()) return std::nullopt;
    header.length = static_cast<std::uint16_t>(payload.size());
    Bytes frame(wire::kFrameOverhead + payload.size());
    if (!wire::encodeFrame(header, payload, frame)) return std::nullopt;
    return frame;
}

std::optional<Bytes> buildPacket(wire::PacketType type, std::span<const std::uint8_t> record, std::uint8_t seq) {
    wire::FrameHeader header;
    header.seq = seq;
    header.type = static_cast<std::uint8_t>(static_cast<std::uint8_t>(type) | wire::kRequestBit);
    return buildFrame(header, record);
}

}  // namespace zt::sim

// Reads one frame from a byte stream: hunts the sync byte one byte at a time, then reads the header and
// the payload with its trailer in as few reads as the source allows.
#pragma once

#include "zt/protocol/wire.h"

#include "zt/platform/serial_port.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace zt::sdk {

// Where frames come from: the serial port, or memory in tests and fuzzing.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to `buffer.size()` bytes; waits up to the read time-out for the first one.
    [[nodiscard]] virtual platform::IoStatus read(std::span<std::uint8_t> buffer, std::size_t& got) = 0;
};

using ReceiveBuffer = std::array<std::uint8_t, wire::kReceiveBufferSize>;

enum class ReadOutcome {
    Frame,      // header and payload are in; the payload is at the start of the receive buffer
    Discarded,  // a frame longer than the receive buffer was read and thrown away
    Ended,      // a read returned nothing (silence) or failed: no frame
    Cancelled,  // the source was cancelled (the port is being closed)
    Lost,       // the port is gone
};

struct ReadResult {
    ReadOutcome outcome = ReadOutcome::Ended;
    wire::FrameHeader header{};
};

[[nodiscard]] ReadResult readFrame(ByteSource& source, ReceiveBuffer& buffer);

}  // namespace zt::sdk

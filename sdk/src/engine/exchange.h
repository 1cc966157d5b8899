// One command exchange: request blocks, each answered by a matching response, with time-outs and repeats.
#pragma once

#include "engine/command_codec.h"
#include "engine/timings.h"
#include "link/serial_link.h"

#include <cstdint>

namespace zt::sdk {

// Runs the exchange of `code` with `codec` over `link` on the calling (command) thread. Returns 0, or
// -1 (no request built), -8 (write failed, or three mismatched answers), -9 (three time-outs),
// -12 (aborted: the port is being closed), -17 (port lost), -19 (refused).
[[nodiscard]] int runExchange(SerialLink& link, std::uint8_t code, CommandCodec* codec, const Timings& timings);

}  // namespace zt::sdk

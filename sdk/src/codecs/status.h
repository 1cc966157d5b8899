// The status byte that starts every answer to a parameter command.
#pragma once

#include "engine/command_codec.h"
#include "zt/protocol/wire.h"

#include <cstdint>
#include <span>

namespace zt::sdk {

using wire::kStatusDone;
using wire::kStatusRefused;

// Refused on status 1; Complete otherwise (a status other than 0 and 1 ends the exchange unused).
[[nodiscard]] inline CodecStep statusStep(std::span<const std::uint8_t> payload) {
    return !payload.empty() && payload[0] == kStatusRefused ? CodecStep::Refused : CodecStep::Complete;
}

// True when the answer's values may be used: status 0 and exactly `length` bytes.
[[nodiscard]] inline bool usable(std::span<const std::uint8_t> payload, std::size_t length) {
    return payload.size() == length && payload[0] == kStatusDone;
}

}  // namespace zt::sdk

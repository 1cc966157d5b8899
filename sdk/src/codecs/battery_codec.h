// Battery status: request empty; answer status, first value, second value.
#pragma once

#include "engine/command_codec.h"

namespace zt::sdk {

class BatteryCodec final : public CommandCodec {
public:
    CodecStep build(RequestBuffer& request, std::uint16_t& length) override;
    CodecStep onResponse(std::uint8_t retry, std::span<const std::uint8_t> payload, RequestBuffer& request,
                         std::uint16_t& length) override;

    // The values of the last answer of the right length (0 before the first).
    int first = 0;
    int second = 0;
};

}  // namespace zt::sdk

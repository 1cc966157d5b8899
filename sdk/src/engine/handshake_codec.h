// The handshake that proves a scanner answers: request 0x31 0x01; any matching response completes it.
#pragma once

#include "engine/command_codec.h"

#include <algorithm>

namespace zt::sdk {

class HandshakeCodec final : public CommandCodec {
public:
    CodecStep build(RequestBuffer& request, std::uint16_t& length) override {
        std::ranges::copy(wire::kHandshakePayload, request.begin());
        length = wire::kHandshakePayload.size();
        return CodecStep::Continue;
    }
    CodecStep onResponse(std::uint8_t, std::span<const std::uint8_t>, RequestBuffer&, std::uint16_t&) override {
        return CodecStep::Complete;
    }
};

}  // namespace zt::sdk

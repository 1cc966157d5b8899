// The contract between an exchange and the codec of one command family.
//
// The codec builds the first request, then reads each response and says whether the exchange is
// complete, refused, or goes on with the next request (left in the request buffer). The buffer and its
// length keep their contents between calls of one exchange, so returning Continue without touching them
// sends the previous request again as the next block.
#pragma once

#include "zt/protocol/wire.h"

#include <array>
#include <cstdint>
#include <span>

namespace zt::sdk {

using RequestBuffer = std::array<std::uint8_t, wire::kMaxWriteFrame>;

enum class CodecStep {
    Continue = 0,  // build: send and await the response; response: send the next block
    Complete = 1,  // response: the exchange is complete
    SendOnly = 2,  // send the request and end the exchange without awaiting a response
    Refused = 3,   // build: no request can be built (-1); response: the scanner refused (-19)
};

class CommandCodec {
public:
    virtual ~CommandCodec() = default;
    // Writes the first request payload into `request` and its length into `length`.
    [[nodiscard]] virtual CodecStep build(RequestBuffer& request, std::uint16_t& length) = 0;
    // Reads a matching response; may write the next request.
    [[nodiscard]] virtual CodecStep onResponse(std::uint8_t retry, std::span<const std::uint8_t> payload,
                                               RequestBuffer& request, std::uint16_t& length) = 0;
};

}  // namespace zt::sdk

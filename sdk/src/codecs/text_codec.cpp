#include "codecs/text_codec.h"

#include "codecs/status.h"

#include <algorithm>

namespace zt::sdk {

CodecStep AffixCodec::build(RequestBuffer& request, std::uint16_t& length) {
    request[0] = static_cast<std::uint8_t>(mode);
    length = 1;
    received.reset();
    receivedLength = 0;
    if (mode == Mode::Set && !text.empty()) {
        if (text.size() > kMaxAffixLength) return CodecStep::Refused;
        std::ranges::copy(text, request.begin() + 1);
        request[1 + text.size()] = 0;
        length = static_cast<std::uint16_t>(text.size() + 2);
    }
    return CodecStep::Continue;
}

CodecStep AffixCodec::onResponse(std::uint8_t, std::span<const std::uint8_t> payload, RequestBuffer&, std::uint16_t&) {
    if (mode == Mode::Get && !payload.empty() && payload[0] == kStatusDone) {
        const auto body = payload.subspan(1);
        const auto end = std::ranges::find(body, std::uint8_t{0});
        received = std::string(body.begin(), end);
        receivedLength = static_cast<int>(payload.size()) - 1;
    }
    return statusStep(payload);
}

}  // namespace zt::sdk

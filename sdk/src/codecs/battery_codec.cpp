#include "codecs/battery_codec.h"

#include "codecs/status.h"

namespace zt::sdk {

CodecStep BatteryCodec::build(RequestBuffer&, std::uint16_t& length) {
    length = 0;
    return CodecStep::Continue;
}

CodecStep BatteryCodec::onResponse(std::uint8_t, std::span<const std::uint8_t> payload, RequestBuffer&,
                                   std::uint16_t&) {
    if (usable(payload, 3)) {
        first = payload[1];
        second = payload[2];
    }
    return statusStep(payload);
}

}  // namespace zt::sdk

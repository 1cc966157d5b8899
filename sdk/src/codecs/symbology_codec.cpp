#include "codecs/symbology_codec.h"

#include "codecs/status.h"

namespace zt::sdk {

CodecStep SymbologyCodec::build(RequestBuffer& request, std::uint16_t& length) {
    request[0] = static_cast<std::uint8_t>(mode);
    request[1] = static_cast<std::uint8_t>(group);
    request[2] = static_cast<std::uint8_t>(item);
    request[3] = static_cast<std::uint8_t>(value);
    length = mode == Mode::Set ? 4 : 3;
    return CodecStep::Continue;
}

CodecStep SymbologyCodec::onResponse(std::uint8_t, std::span<const std::uint8_t> payload, RequestBuffer&,
                                     std::uint16_t&) {
    if (mode == Mode::Get) value = usable(payload, 4) ? payload[3] : 0;
    return statusStep(payload);
}

}  // namespace zt::sdk

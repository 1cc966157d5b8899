// Symbology options (command 14). The pairs the SDK exchanges are the offered rows of the protocol's
// symbology table.
#pragma once

#include "codecs/value_codecs.h"
#include "engine/command_codec.h"
#include "zt/protocol/symbology.h"

#include <cstdint>

namespace zt::sdk {

// True when the pair is an offered row of the table; any other pair is refused without an exchange.
[[nodiscard]] constexpr bool isSupportedSymbology(int group, int item) { return wire::isShownSymbology(group, item); }

class SymbologyCodec final : public CommandCodec {
public:
    CodecStep build(RequestBuffer& request, std::uint16_t& length) override;
    CodecStep onResponse(std::uint8_t retry, std::span<const std::uint8_t> payload, RequestBuffer& request,
                         std::uint16_t& length) override;

    Mode mode = Mode::Get;
    int group = 0;
    int item = 0;
    int value = 0;
};

}  // namespace zt::sdk

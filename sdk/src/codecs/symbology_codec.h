// Symbology options (command 14): the table of the (group, item) pairs the SDK knows, and the codec.
#pragma once

#include "codecs/value_codecs.h"
#include "engine/command_codec.h"

#include <cstdint>

namespace zt::sdk {

// True when the pair is a row of the table that is offered (flag 0x02). Groups outside 17..68 are rejected
// without a look-up; inside, only the group's own rows are walked.
[[nodiscard]] bool isSupportedSymbology(int group, int item);

// Number of rows in the table, and of offered rows.
[[nodiscard]] int symbologyRowCount();
[[nodiscard]] int offeredSymbologyCount();

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

// Prefix and suffix texts (commands 7 and 8); callers pass them in the protocol's backslash notation.
#pragma once

#include "codecs/value_codecs.h"
#include "engine/command_codec.h"
#include "zt/protocol/affix_notation.h"
#include "zt/protocol/wire.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zt::sdk {

// The codec's text field holds 63 characters and a terminator.
using wire::escapeAffix;
using wire::kMaxAffixLength;
using wire::unescapeAffix;

class AffixCodec final : public CommandCodec {
public:
    CodecStep build(RequestBuffer& request, std::uint16_t& length) override;
    CodecStep onResponse(std::uint8_t retry, std::span<const std::uint8_t> payload, RequestBuffer& request,
                         std::uint16_t& length) override;

    Mode mode = Mode::Get;
    std::string text;                     // set: the unescaped text, at most 63 bytes
    std::optional<std::string> received;  // get: the text the scanner holds, as bytes
    int receivedLength = 0;               // get: answer length − 1
};

}  // namespace zt::sdk

// Prefix and suffix texts (commands 7 and 8) and their backslash notation: the caller writes \t, \n, \r
// and \\ for tab, line feed, carriage return and backslash; the scanner stores the bytes themselves.
#pragma once

#include "codecs/value_codecs.h"
#include "engine/command_codec.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zt::sdk {

// The codec's text field holds 63 characters and a terminator.
inline constexpr std::size_t kMaxAffixLength = 63;

// Backslash notation to bytes: \n \r \t (either case) and \\; any other backslash stays a backslash.
[[nodiscard]] std::string unescapeAffix(std::string_view text);
// Bytes to backslash notation, up to the first zero byte.
[[nodiscard]] std::string escapeAffix(std::string_view bytes);

class AffixCodec final : public CommandCodec {
public:
    CodecStep build(RequestBuffer& request, std::uint16_t& length) override;
    CodecStep onResponse(std::uint8_t retry, std::span<const std::uint8_t> payload, RequestBuffer& request,
                         std::uint16_t& length) override;

    Mode mode = Mode::Get;
    std::string text;                 // set: the unescaped text, at most 63 bytes
    std::optional<std::string> received;  // get: the text the scanner holds, as bytes
    int receivedLength = 0;           // get: answer length − 1
};

}  // namespace zt::sdk

// Little-endian numbers inside payloads.
#pragma once

#include <cstdint>
#include <span>

namespace zt::sdk {

inline void putLe32(std::span<std::uint8_t, 4> out, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

[[nodiscard]] inline std::uint32_t getLe32(std::span<const std::uint8_t, 4> in) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value |= std::uint32_t{in[i]} << (8 * i);
    return value;
}

}  // namespace zt::sdk

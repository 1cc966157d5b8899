// Factory values of the scanner's symbology options.
#pragma once

#include <cstdint>
#include <span>

namespace zt::sim {

struct SymbologyDefault {
    std::uint8_t group;
    std::uint8_t item;
    std::uint8_t value;
};

// The 73 options the scanner knows, with the value each has after a restore of the defaults.
[[nodiscard]] std::span<const SymbologyDefault> symbologyDefaults();

}  // namespace zt::sim

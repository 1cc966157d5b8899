// The symbology options a scanner offers to be read and written: 34 (group, item) pairs with their names
// and allowed values. Item 0 of a group switches the symbology itself on or off.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace ztctl {

struct SymbologyOption {
    std::string_view name;
    int group = 0;
    int item = 0;
    int defaultValue = 0;
    int maxValue = 1;  // on/off options take 0 or 1
};

[[nodiscard]] std::span<const SymbologyOption> symbologyOptions();
[[nodiscard]] const SymbologyOption* findSymbologyOption(int group, int item);
// By name, ignoring letter case.
[[nodiscard]] const SymbologyOption* findSymbologyOption(std::string_view name);

// The two Interleaved 2 of 5 length bounds: the minimum must not exceed the maximum.
inline constexpr int kInterleavedGroup = 27;
inline constexpr int kMinLengthItem = 24;
inline constexpr int kMaxLengthItem = 25;

}  // namespace ztctl

// Port numbers written as decimal text in the stacks' settings ("COM12:", a subkey named "5").
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zt::devsearch {

// The number written by the leading decimal digits of text; parsing stops at the first non-digit.
// Nothing when text does not start with a digit or the number does not fit a signed 32-bit port.
[[nodiscard]] std::optional<std::int32_t> leadingDecimal(std::wstring_view text) noexcept;

}  // namespace zt::devsearch

#include "port_number.h"

#include <limits>

namespace zt::devsearch {

std::optional<std::int32_t> leadingDecimal(std::wstring_view text) noexcept {
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    std::int64_t number = 0;
    std::size_t digits = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') break;
        number = number * 10 + (c - L'0');
        if (number > kMax) return std::nullopt;
        ++digits;
    }
    if (digits == 0) return std::nullopt;
    return static_cast<std::int32_t>(number);
}

}  // namespace zt::devsearch

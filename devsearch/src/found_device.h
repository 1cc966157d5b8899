// What a search yields: the scanners for the caller's list, or nothing when no source applied.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zt::devsearch {

// Scanners are recognised by this model word in their Bluetooth name (exact, case-sensitive).
inline constexpr std::wstring_view kModelWord = L"ZT-550";

struct FoundDevice {
    std::int32_t port = 0;
    std::wstring name;

    friend bool operator==(const FoundDevice&, const FoundDevice&) = default;
};

[[nodiscard]] inline bool isScannerName(std::wstring_view name) noexcept {
    return name.find(kModelWord) != std::wstring_view::npos;
}

// The scanners in list order (front first); nothing when the caller's list is to stay unchanged.
using SearchResult = std::optional<std::vector<FoundDevice>>;

}  // namespace zt::devsearch

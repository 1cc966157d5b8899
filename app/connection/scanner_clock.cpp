#include "connection/scanner_clock.h"

#include <algorithm>

namespace talvo {

ScannerTimeBytes scannerTimeOf(const std::tm& local) noexcept {
    const auto byte = [](int v) { return static_cast<std::uint8_t>(v & 0xFF); };
    return {byte(local.tm_year), byte(local.tm_mon),
            byte(local.tm_mday), byte(local.tm_hour),
            byte(local.tm_min),  byte(std::min(local.tm_sec, 59)),  // a leap second is not a scanner time
            byte(local.tm_wday)};
}

ScannerTimeBytes localScannerTime() noexcept {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return scannerTimeOf(local);
}

}  // namespace talvo

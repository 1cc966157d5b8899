// The 7-byte clock record sent to a newly connected scanner.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>

namespace talvo {

// year - 1900 (modulo 256), month 0..11, day 1..31, hour, minute, second, day of week 0..6 (0 Sunday).
using ScannerTimeBytes = std::array<std::uint8_t, 7>;

[[nodiscard]] ScannerTimeBytes scannerTimeOf(const std::tm& local) noexcept;
// This machine's local time now.
[[nodiscard]] ScannerTimeBytes localScannerTime() noexcept;

}  // namespace talvo

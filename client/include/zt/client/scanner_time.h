// The scanner's clock bytes: year - 1900, month 0..11, day 1..31, hour, minute, second, day of week
// 0..6 (0 is Sunday).
#pragma once

#include "zt/protocol/wire.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zt::client {

using ScannerTime = std::array<std::uint8_t, wire::kScannerTimeSize>;

// Whether the bytes are a usable scan time: month <= 11, day 1..31, hour <= 23, minute and second <= 59,
// and the last byte (day of week) <= 99. The program ignores a live scan whose time fails this check.
[[nodiscard]] bool plausibleTime(const ScannerTime& time);

// "YYYY/MM/DD hh:mm:ss", the program's form of a scan time.
[[nodiscard]] std::string formatScannerTime(const ScannerTime& time);

// This machine's local time (the year byte is year - 1900 modulo 256).
[[nodiscard]] ScannerTime localScannerTime();

// A time written YYYYMMDDhhmmss: a real calendar date in 1970..2155 (what the clock bytes can hold and
// the scanner accepts). The day of week is computed.
[[nodiscard]] std::optional<ScannerTime> parseScannerTime(std::string_view text);

}  // namespace zt::client

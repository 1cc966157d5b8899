// The clock value that the Setting page hands to a connecting scanner when "TimeSync" is off.
#pragma once

#include "connection/scanner_clock.h"

#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>

namespace talvo {

// ScannerTimeBytes: year - 1900 (modulo 256), month 0..11, day, hour, minute, second, day of week
// 0..6 (0 is Sunday).

// The fourteen-digit form "%04d%02d%02d%02d%02d%02d" of a local time.
[[nodiscard]] QString fourteenDigitTime(const QDateTime& time);

// The time typed into the time field, read as fourteen digits; any other text (another length, or
// anything but the digits 0-9) gives the local time `now` instead. The digits are not checked for a
// valid date. The day of the week is always that of `now`.
[[nodiscard]] ScannerTimeBytes manualScannerTime(const QString& text, const QDateTime& now);

}  // namespace talvo

// STAND-IN for the client module's scanner-time helpers (zt_client): replace this file's users by the
// client module's functions when it is merged. Clock bytes: year - 1900, month 0..11, day 1..31, hour,
// minute, second, day of week.
#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace talvo::standin {

using ScanTimeBytes = std::array<std::uint8_t, 7>;

// The checks a live record's time must pass; the day of week is accepted up to 99.
[[nodiscard]] inline bool plausibleScanTime(const ScanTimeBytes& t) {
    return t[1] <= 11 && t[2] >= 1 && t[2] <= 31 && t[3] <= 23 && t[4] <= 59 && t[5] <= 59 && t[6] <= 99;
}

// "%Y/%m/%d %H:%M:%S", e.g. 2010/03/05 14:07:09.
[[nodiscard]] inline QString formatScanTime(const ScanTimeBytes& t) {
    return QString::asprintf("%04d/%02d/%02d %02d:%02d:%02d", t[0] + 1900, t[1] + 1, int{t[2]}, int{t[3]},
                             int{t[4]}, int{t[5]});
}

}  // namespace talvo::standin

#include "zt/client/scanner_time.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace zt::client {
namespace {

constexpr int kFirstYear = 1970;
constexpr int kLastYear = 1900 + 255;

std::optional<int> digits(std::string_view text, std::size_t from, std::size_t count) {
    int value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

std::uint8_t byte(int value) { return static_cast<std::uint8_t>(value); }

}  // namespace

bool plausibleTime(const ScannerTime& t) {
    return t[1] <= 11 && t[2] >= 1 && t[2] <= 31 && t[3] <= 23 && t[4] <= 59 && t[5] <= 59 && t[6] <= 99;
}

std::string formatScannerTime(const ScannerTime& t) {
    char buffer[48];
    const int length = std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d %02d:%02d:%02d", t[0] + 1900, t[1] + 1,
                                     int{t[2]}, int{t[3]}, int{t[4]}, int{t[5]});
    return std::string(buffer, static_cast<std::size_t>(length));
}

ScannerTime localScannerTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {byte((local.tm_year) & 0xFF), byte(local.tm_mon), byte(local.tm_mday), byte(local.tm_hour),
            byte(local.tm_min),           byte(local.tm_sec), byte(local.tm_wday)};
}

std::optional<ScannerTime> parseScannerTime(std::string_view text) {
    if (text.size() != 14) return std::nullopt;
    const auto year = digits(text, 0, 4);
    const auto month = digits(text, 4, 2);
    const auto day = digits(text, 6, 2);
    const auto hour = digits(text, 8, 2);
    const auto minute = digits(text, 10, 2);
    const auto second = digits(text, 12, 2);
    if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
    using namespace std::chrono;
    const year_month_day date{std::chrono::year{*year}, std::chrono::month{static_cast<unsigned>(*month)},
                              std::chrono::day{static_cast<unsigned>(*day)}};
    if (!date.ok() || *year < kFirstYear || *year > kLastYear || *hour > 23 || *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    const auto weekday = std::chrono::weekday{sys_days{date}}.c_encoding();
    return ScannerTime{byte(*year - 1900),
                       byte(*month - 1),
                       byte(*day),
                       byte(*hour),
                       byte(*minute),
                       byte(*second),
                       byte(static_cast<int>(weekday))};
}

}  // namespace zt::client

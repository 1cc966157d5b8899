#include "zt/scandata/scan_data_line.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace zt::scandata {
namespace {

constexpr std::string_view kFileSuffix = "_ScanData.txt";
constexpr std::string_view kLineEnd = "\r\n";

// printf-style integer fields ("%6lld", "%02d"): plain digits, so the locale plays no part.
template <typename... Args>
std::string printed(const char* format, Args... args) {
    std::array<char, 96> buffer{};
    const int length = std::snprintf(buffer.data(), buffer.size(), format, args...);
    return std::string(buffer.data(), static_cast<std::size_t>(length > 0 ? length : 0));
}

std::string formatDateTime(const RecordTime& time) {
    return printed("%4d/%02d/%02d %02d:%02d:%02d", time[0] + 1900, time[1] + 1, int{time[2]}, int{time[3]},
                   int{time[4]}, int{time[5]});
}

bool isContinuationByte(char byte) { return (static_cast<unsigned char>(byte) & 0xC0U) == 0x80U; }

}  // namespace

std::string formatScanDataValue(double value) {
    if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    // The largest double has 309 digits before the point.
    std::array<char, 400> buffer{};
    const auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 4);
    if (error != std::errc{}) return "nan";  // cannot happen with this buffer size
    return std::string(buffer.data(), end);
}

std::string formatScanDataLine(const ScanDataRecord& record, LineForm form) {
    std::string line = printed("%6lld", record.index + 1);
    line += ' ';
    if (form == LineForm::WithTime) {
        line += formatDateTime(record.time);
        line += ' ';
    }
    line += formatScanDataValue(record.value1);
    line += ' ';
    line += formatScanDataValue(record.value2);
    line += ' ';
    line += record.text;
    line += kLineEnd;
    return line;
}

std::string scanDataFileName(std::string_view name) {
    std::string stem(name);
    for (char& c : stem) {
        if (c == '/' || c == '\0') c = '_';
    }
    const std::size_t room = kMaxFileNameBytes - kFileSuffix.size();
    if (stem.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && isContinuationByte(stem[cut])) --cut;
        stem.resize(cut);
    }
    return stem + std::string(kFileSuffix);
}

}  // namespace zt::scandata

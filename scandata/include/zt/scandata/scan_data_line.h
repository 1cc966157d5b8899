// Scan-data files: one text file per scanner holding the records downloaded from it, one line per record.
//
// A line is either "COUNTER YYYY/MM/DD hh:mm:ss VALUE1 VALUE2 TEXT\r\n" (with date and time) or
// "COUNTER VALUE1 VALUE2 TEXT\r\n" (without): the counter right-aligned in six places, the values with four
// decimals and a point, the text byte for byte as the scanner sent it (no code page conversion; tab, CR
// and LF bytes stay as they are). The file is named "<scanner name>_ScanData.txt".
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zt::scandata {

// Scanner clock bytes: year - 1900, month - 1, day, hour, minute, second, day of week.
using RecordTime = std::array<std::uint8_t, 7>;

// One downloaded record, as the SDK hands it out.
struct ScanDataRecord {
    long long index = 0;  // 0 = newest; the line's counter is index + 1
    RecordTime time{};
    double value1 = 0;
    double value2 = 0;
    std::string_view text;  // the bytes before the record's zero byte
};

enum class LineForm {
    WithTime,     // counter, date, time, both values, text
    WithoutTime,  // counter, both values, text
};

// The full line of `record`, ending in "\r\n". Nothing is cut: very long texts and very large values
// make long lines.
[[nodiscard]] std::string formatScanDataLine(const ScanDataRecord& record, LineForm form);

// A value as the line shows it: fixed point, four decimals, a point as separator whatever the locale.
// Infinities and NaN show as "inf", "-inf", "nan" (with the sign of the NaN).
[[nodiscard]] std::string formatScanDataValue(double value);

// Longest file name most Linux file systems take, in bytes.
inline constexpr std::size_t kMaxFileNameBytes = 255;

// "<name>_ScanData.txt" for a scanner whose name is `name` (UTF-8). The name is kept as it is, except
// that '/' and NUL, which cannot stand in a file name, become '_' (so the file always lands in the
// folder it is written to), and a name too long for the file system is cut at a character boundary.
// An empty name gives "_ScanData.txt".
[[nodiscard]] std::string scanDataFileName(std::string_view name);

}  // namespace zt::scandata

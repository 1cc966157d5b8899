// The scan-data line and file name: the documented example, the edge cases of counters, dates, values
// and texts, and file names that must stay inside their folder.
#include "zt/scandata/scan_data_line.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <string>

namespace zt::scandata {
namespace {

using namespace std::string_literals;

// 17 May 2010 14:03:09, a Monday.
constexpr RecordTime kMay17 = {110, 4, 17, 14, 3, 9, 1};

ScanDataRecord record(long long index, double value1, double value2, std::string_view text, RecordTime time = kMay17) {
    return ScanDataRecord{index, time, value1, value2, text};
}

TEST(ScanDataLine, DocumentedExampleWithAndWithoutTime) {
    const auto r = record(0, 0.0, 12.5, "ABC123");
    EXPECT_EQ(formatScanDataLine(r, LineForm::WithTime), "     1 2010/05/17 14:03:09 0.0000 12.5000 ABC123\r\n");
    EXPECT_EQ(formatScanDataLine(r, LineForm::WithoutTime), "     1 0.0000 12.5000 ABC123\r\n");
}

TEST(ScanDataLine, CounterIsRightAlignedAndNeverCut) {
    EXPECT_EQ(formatScanDataLine(record(41, 0, 0, "x"), LineForm::WithoutTime), "    42 0.0000 0.0000 x\r\n");
    EXPECT_EQ(formatScanDataLine(record(999'998, 0, 0, "x"), LineForm::WithoutTime), "999999 0.0000 0.0000 x\r\n");
    // Seven digits shift the rest of the line.
    EXPECT_EQ(formatScanDataLine(record(999'999, 0, 0, "x"), LineForm::WithoutTime), "1000000 0.0000 0.0000 x\r\n");
}

TEST(ScanDataLine, DateFieldsComeFromTheClockBytes) {
    // Month byte 11 is December; year byte 110 is 2010; single digits get a leading zero; the day of
    // week is not written.
    const RecordTime december = {110, 11, 5, 7, 8, 9, 6};
    EXPECT_EQ(formatScanDataLine(record(0, 0, 0, "x", december), LineForm::WithTime),
              "     1 2010/12/05 07:08:09 0.0000 0.0000 x\r\n");
    // The bytes are printed as they came, even when no calendar has such a date.
    const RecordTime odd = {255, 12, 0, 24, 60, 61, 200};
    EXPECT_EQ(formatScanDataLine(record(0, 0, 0, "x", odd), LineForm::WithTime),
              "     1 2155/13/00 24:60:61 0.0000 0.0000 x\r\n");
}

TEST(ScanDataLine, TextBytesAreWrittenUnchanged) {
    const std::string text = "a\tb\rc\nd\\e\x80\xff\xc3\xa9";
    EXPECT_EQ(formatScanDataLine(record(0, 0, 0, text), LineForm::WithoutTime),
              "     1 0.0000 0.0000 " + text + "\r\n");
    EXPECT_EQ(formatScanDataLine(record(0, 0, 0, ""), LineForm::WithoutTime), "     1 0.0000 0.0000 \r\n");
}

TEST(ScanDataLine, LongTextIsNotCut) {
    const std::string text(3071, 'Z');
    const auto line = formatScanDataLine(record(0, 0, 0, text), LineForm::WithTime);
    const std::string head = "     1 2010/05/17 14:03:09 0.0000 0.0000 ";
    EXPECT_EQ(line, head + text + "\r\n");
}

TEST(ScanDataLine, ValuesUseFourDecimalsAndAPoint) {
    EXPECT_EQ(formatScanDataValue(-0.5), "-0.5000");
    EXPECT_EQ(formatScanDataValue(0.00004), "0.0000");
    EXPECT_EQ(formatScanDataValue(0.00005), "0.0001");  // the double is a little above 0.00005
    EXPECT_EQ(formatScanDataValue(123456789.125), "123456789.1250");
    EXPECT_EQ(formatScanDataValue(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(formatScanDataValue(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(formatScanDataValue(std::numeric_limits<double>::quiet_NaN()), "nan");
    // The largest double is printed in full: 309 digits, the point and four decimals.
    EXPECT_EQ(formatScanDataValue(std::numeric_limits<double>::max()).size(), 309U + 5U);
}

TEST(ScanDataLine, ValuesIgnoreTheLocale) {
    // A locale with a decimal comma, where the machine has one; the line must not change.
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr && std::setlocale(LC_NUMERIC, "C.UTF-8") == nullptr) {
        GTEST_SKIP() << "no other locale";
    }
    EXPECT_EQ(formatScanDataValue(12.5), "12.5000");
    std::setlocale(LC_NUMERIC, "C");
}

TEST(ScanDataFileName, NameIsKeptWithSuffix) {
    EXPECT_EQ(scanDataFileName("ZT-550 1234"), "ZT-550 1234_ScanData.txt");
    EXPECT_EQ(scanDataFileName("COM5"), "COM5_ScanData.txt");
    EXPECT_EQ(scanDataFileName(""), "_ScanData.txt");
    EXPECT_EQ(scanDataFileName("Caf\xc3\xa9 \\ *?"), "Caf\xc3\xa9 \\ *?_ScanData.txt");
}

TEST(ScanDataFileName, SlashAndNulCannotLeaveTheFolder) {
    EXPECT_EQ(scanDataFileName("../../etc/passwd"), ".._.._etc_passwd_ScanData.txt");
    EXPECT_EQ(scanDataFileName("/"), "__ScanData.txt");
    EXPECT_EQ(scanDataFileName("a\0b"s), "a_b_ScanData.txt");
}

TEST(ScanDataFileName, LongNameIsCutAtACharacterBoundary) {
    const std::string ascii(300, 'n');
    const auto cutAscii = scanDataFileName(ascii);
    EXPECT_EQ(cutAscii.size(), kMaxFileNameBytes);
    EXPECT_TRUE(cutAscii.ends_with("_ScanData.txt"));

    std::string accented;
    for (int i = 0; i < 150; ++i) accented += "\xc3\xa9";  // two bytes each
    const auto cut = scanDataFileName(accented);
    EXPECT_LE(cut.size(), kMaxFileNameBytes);
    const auto stem = cut.substr(0, cut.size() - 13);
    EXPECT_EQ(stem.size() % 2, 0U) << "a character was split";
    EXPECT_EQ(stem.size(), 242U);
}

}  // namespace
}  // namespace zt::scandata

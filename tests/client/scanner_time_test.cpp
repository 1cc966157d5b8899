// Scan times: the program's form, its plausibility check, and times typed on the command line.
#include "zt/client/scanner_time.h"

#include <gtest/gtest.h>

namespace zt::client {
namespace {

TEST(ScannerTimes, ParsedFromDigitsWithTheDayOfWeek) {
    // 29 February 2024 was a Thursday.
    const ScannerTime leap{124, 1, 29, 12, 34, 56, 4};
    EXPECT_EQ(parseScannerTime("20240229123456"), leap);
    EXPECT_EQ(parseScannerTime("19700101000000")->at(0), 70);
    EXPECT_EQ(parseScannerTime("19700101000000")->at(6), 4);  // a Thursday too
    EXPECT_EQ(parseScannerTime("21551231235959")->at(0), 255);
    for (const char* bad : {"19691231235959", "21560101000000", "20230229000000", "20240431000000", "20240101240000",
                            "20240100000000", "20241301000000", "20240101006000", "2024010100000", "2024010100000x",
                            "20240101 00000", "+2024010100000", ""}) {
        EXPECT_FALSE(parseScannerTime(bad).has_value()) << bad;
    }
}

TEST(ScannerTimes, FormattedWithFourDigitYearAndTwoDigitFields) {
    EXPECT_EQ(formatScannerTime({110, 2, 5, 14, 7, 9, 5}), "2010/03/05 14:07:09");
    EXPECT_EQ(formatScannerTime({0, 0, 1, 0, 0, 0, 0}), "1900/01/01 00:00:00");
    EXPECT_EQ(formatScannerTime({255, 11, 31, 23, 59, 59, 6}), "2155/12/31 23:59:59");
    // Bytes out of range are shown as sent (the check below is the caller's).
    EXPECT_EQ(formatScannerTime({255, 255, 255, 255, 255, 255, 255}), "2155/256/255 255:255:255");
}

TEST(ScannerTimes, CheckedLikeTheProgramDoes) {
    EXPECT_TRUE(plausibleTime({110, 11, 31, 23, 59, 59, 99}));
    EXPECT_TRUE(plausibleTime({0, 0, 1, 0, 0, 0, 0}));
    EXPECT_FALSE(plausibleTime({110, 12, 5, 0, 0, 0, 0}));
    EXPECT_FALSE(plausibleTime({110, 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(plausibleTime({110, 0, 32, 0, 0, 0, 0}));
    EXPECT_FALSE(plausibleTime({110, 0, 1, 24, 0, 0, 0}));
    EXPECT_FALSE(plausibleTime({110, 0, 1, 0, 60, 0, 0}));
    EXPECT_FALSE(plausibleTime({110, 0, 1, 0, 0, 60, 0}));
    EXPECT_FALSE(plausibleTime({110, 0, 1, 0, 0, 0, 100}));  // the last byte is at most 99
    const auto now = localScannerTime();
    EXPECT_TRUE(plausibleTime(now));
    EXPECT_GE(now[0], 70);
}

}  // namespace
}  // namespace zt::client

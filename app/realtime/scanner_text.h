// The program's view of scanner text and clock bytes, on top of the client module that ztctl uses too:
// QString in and out, one decoder per thread for the locale's character set.
#pragma once

#include "zt/client/scanner_time.h"

#include <QString>

#include <string_view>

namespace talvo {

using ScanTimeBytes = zt::client::ScannerTime;

// The checks a live record's time must pass (the day of week is accepted up to 99).
[[nodiscard]] bool plausibleScanTime(const ScanTimeBytes& time);
// "%Y/%m/%d %H:%M:%S", e.g. 2010/03/05 14:07:09.
[[nodiscard]] QString formatScanTime(const ScanTimeBytes& time);
// Tab, line feed, carriage return and backslash as \t, \n, \r and \\; every other character unchanged.
[[nodiscard]] QString displayForm(const QString& text);
// The scanner's 8-bit text in `codeset` (empty: the locale's, nl_langinfo(CODESET)); a byte that does
// not decode there is taken as Latin-1, so nothing the scanner sent is dropped.
[[nodiscard]] QString decodeLocalText(std::string_view bytes, const char* codeset = nullptr);

}  // namespace talvo

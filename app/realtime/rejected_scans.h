// Live barcodes whose scan time is impossible (a month 12, an hour 25: a scanner whose clock was never
// set, or a garbled record). The program does not list or type them, as its rules say, but it never
// drops one in silence: each is appended to the file kFileName in the data folder, one line each, and
// the first one of each scanner is told in the program's notice.
//
// A line: this machine's time when it came, the scanner's name, the seven time bytes as the scanner
// sent them (hexadecimal), the text, and "scan" or "deleted", separated by tabs. The name and the text
// are in the display form of scanner text (tab, CR, LF and backslash as \t, \r, \n, \\, every other
// control byte and every byte outside UTF-8 as \xNN), so the line stays one line and the bytes can be
// read back exactly. The file is only ever appended to.
//
// Thread-safe; keep() runs on the SDK's dispatcher thread and only waits for the append.
#pragma once

#include "realtime/scanner_text.h"

#include <QString>

#include <filesystem>
#include <functional>
#include <mutex>
#include <set>
#include <string_view>

namespace talvo {

class RejectedScans {
public:
    static constexpr const char* kFileName = "TalvoScan-rejected.txt";
    // Gets each notice text; must not block (post it).
    using Notify = std::function<void(const QString& text)>;

    RejectedScans(std::filesystem::path folder, Notify notify);

    void keep(const QString& scanner, const ScanTimeBytes& time, std::string_view text, bool deleted);

    [[nodiscard]] std::filesystem::path file() const { return file_; }
    // The line kept for such a barcode, without its line end (the received time given).
    [[nodiscard]] static std::string line(const std::string& receivedAt, const QString& scanner,
                                          const ScanTimeBytes& time, std::string_view text, bool deleted);

private:
    // Appends `line` and its line end; the error text when that fails.
    [[nodiscard]] QString append(const std::string& line) const;

    const std::filesystem::path file_;
    const Notify notify_;
    std::mutex mutex_;
    std::set<QString> told_;  // scanners whose first rejected barcode was told
};

}  // namespace talvo

#include "live_reports.h"

#include "live_line.h"
#include "ports.h"
#include "zt/client/display_form.h"

#include <cstdio>

namespace ztctl {

using zt::client::displayForm;

std::string LiveReports::format(const LiveEvent& event, const ScannerNames& names, bool json) {
    const bool deleted = event.kind == LiveEvent::Kind::Deleted;
    const LiveScan scan{event.port, names.find(event.port), event.record, deleted};
    if (json) return formatLiveLine(scan, true);
    std::string line = portLabel(event.port);
    if (scan.name) line += " (" + displayForm(*scan.name) + ")";
    line += deleted ? ": deleted-data report " : ": live barcode ";
    return line + liveScanTime(scan) + ": " + liveScanData(scan);
}

void LiveReports::printPending() {
    for (const auto& event : sink_.take()) {
        if (event.kind != LiveEvent::Kind::Scan && event.kind != LiveEvent::Kind::Deleted) continue;
        // Losses and opens are told by the command itself, with the scanner's failure.
        const auto line = format(event, names_, json_) + "\n";
        std::fputs(line.c_str(), stderr);
    }
    std::fflush(stderr);
}

}  // namespace ztctl

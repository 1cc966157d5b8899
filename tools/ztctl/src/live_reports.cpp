#include "live_reports.h"

#include "display_form.h"
#include "live_line.h"
#include "ports.h"
#include "scanner_time.h"

#include <algorithm>
#include <cstdio>

namespace ztctl {
namespace {

constexpr std::size_t kTimeOffset = 1;
constexpr std::size_t kTextOffset = 24;

std::string timeText(const std::vector<std::uint8_t>& record) {
    ScannerTime time{};
    if (record.size() >= kTimeOffset + time.size()) std::copy_n(record.begin() + kTimeOffset, time.size(), time.begin());
    return formatScannerTime(time);
}

std::string textOf(const std::vector<std::uint8_t>& record) {
    if (record.size() <= kTextOffset) return {};
    const auto begin = record.begin() + kTextOffset;
    return {begin, std::find(begin, record.end(), std::uint8_t{0})};
}

}  // namespace

std::string LiveReports::format(const LiveEvent& event, const ScannerNames& names, bool json) {
    const bool deleted = event.kind == LiveEvent::Kind::Deleted;
    const auto name = names.find(event.port);
    if (json) return formatLiveLine({event.port, name, event.record, deleted}, true);
    std::string line = portLabel(event.port);
    if (name) line += " (" + displayForm(*name) + ")";
    line += deleted ? ": deleted-data report " : ": live barcode ";
    return line + timeText(event.record) + ": " + displayForm(textOf(event.record));
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

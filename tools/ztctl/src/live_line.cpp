#include "live_line.h"

#include "json.h"
#include "ports.h"
#include "zt/client/display_form.h"
#include "zt/client/scanner_time.h"
#include "zt/protocol/wire.h"

#include <algorithm>
#include <string_view>

namespace ztctl {

using zt::client::displayForm;
using zt::client::formatScannerTime;
using zt::client::plausibleTime;
using zt::client::ScannerTime;

namespace {

constexpr std::size_t kTimeOffset = zt::wire::kScanRecordTimeOffset;
constexpr std::size_t kTextOffset = zt::wire::kScanRecordHeadSize;

ScannerTime timeOf(const LiveScan& scan) {
    ScannerTime time{};
    if (scan.record.size() >= kTimeOffset + time.size()) {
        std::copy_n(scan.record.begin() + kTimeOffset, time.size(), time.begin());
    }
    return time;
}

// The text: the bytes after the head, up to the first zero byte.
std::string_view textOf(const LiveScan& scan) {
    if (scan.record.size() <= kTextOffset) return {};
    const auto text = scan.record.subspan(kTextOffset);
    const auto end = std::ranges::find(text, std::uint8_t{0});
    return {reinterpret_cast<const char*>(text.data()), static_cast<std::size_t>(end - text.begin())};
}

}  // namespace

std::string liveScanTime(const LiveScan& scan) { return formatScannerTime(timeOf(scan)); }
std::string liveScanData(const LiveScan& scan) { return displayForm(textOf(scan)); }

bool liveScanTimePlausible(const LiveScan& scan) { return plausibleTime(timeOf(scan)); }

std::string formatLiveLine(const LiveScan& scan, bool json) {
    const auto time = liveScanTime(scan);
    const auto data = liveScanData(scan);
    if (json) {
        JsonObject object;
        object.add("time", time).add("port", portLabel(scan.port));
        if (scan.name) {
            object.add("name", *scan.name);
        } else {
            object.addNull("name");
        }
        return object.add("data", data).add("deleted", scan.deleted).str();
    }
    std::string line = time + "\t" + portLabel(scan.port) + "\t" + displayForm(scan.name.value_or("")) + "\t" + data;
    if (scan.deleted) line += "\tdeleted";
    return line;
}

}  // namespace ztctl

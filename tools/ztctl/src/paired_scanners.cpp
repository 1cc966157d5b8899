#include "paired_scanners.h"

#include "zt/registry/registry_text.h"
#include "ztdevsearch.h"

#include <memory>

namespace ztctl {

std::vector<PairedScanner> searchPairedScanners() {
    DeviceRecordList list;
    SearchingDevice(list);
    // Every record in the list is ours to delete; own them at once.
    std::vector<std::unique_ptr<DeviceRecord>> owned;
    owned.reserve(list.size());
    for (DeviceRecord* record : list) owned.emplace_back(record);
    list.clear();

    std::vector<PairedScanner> scanners;
    scanners.reserve(owned.size());
    for (const auto& record : owned) scanners.push_back({record->port, zt::registry::wideToUtf8(record->name)});
    return scanners;
}

ScannerNames::ScannerNames(const std::vector<PairedScanner>& scanners) {
    for (const auto& scanner : scanners) names_.emplace(scanner.port, scanner.name);
}

std::optional<std::string> ScannerNames::find(unsigned port) const {
    const auto found = names_.find(port);
    if (found == names_.end()) return std::nullopt;
    return found->second;
}

}  // namespace ztctl

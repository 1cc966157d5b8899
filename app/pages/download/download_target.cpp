#include "pages/download/download_target.h"

#include "zt/scandata/scan_data_names.h"
#include "ztdevsearch.h"

namespace talvo::download {

std::vector<DownloadTarget> downloadTargets(const std::vector<DeviceRecord*>& records) {
    std::vector<zt::scandata::ScannerFileKey> keys;
    std::vector<DownloadTarget> targets;
    for (DeviceRecord* record : records) {
        const QString name = QString::fromStdWString(record->name);
        keys.push_back({name.toStdString(), "COM" + std::to_string(record->port)});
        targets.push_back({record, name, {}});
    }
    const auto files = zt::scandata::scanDataFileNames(keys);
    for (std::size_t i = 0; i < targets.size(); ++i) targets[i].fileName = files[i];
    return targets;
}

}  // namespace talvo::download

// One scanner of a download, as the Start button found it: its record (owned by the Connect page, valid
// until the program ends), its name and the file its records go to.
#pragma once

#include <QString>

#include <filesystem>
#include <string>
#include <vector>

class DeviceRecord;

namespace talvo::download {

struct DownloadTarget {
    DeviceRecord* record = nullptr;
    QString name;
    std::string fileName;  // in the data folder
};

// The targets of `records` in their order, with the file names of the scan-data library (scanners that
// share a name get their port added).
[[nodiscard]] std::vector<DownloadTarget> downloadTargets(const std::vector<DeviceRecord*>& records);

}  // namespace talvo::download

#include "zt/scandata/scan_data_names.h"

#include "zt/scandata/scan_data_line.h"

#include <map>

namespace zt::scandata {

std::vector<std::string> scanDataFileNames(const std::vector<ScannerFileKey>& scanners) {
    std::map<std::string, int> uses;
    for (const auto& scanner : scanners) ++uses[scanDataFileName(scanner.name)];
    std::vector<std::string> files;
    files.reserve(scanners.size());
    for (const auto& scanner : scanners) {
        const bool shared = uses[scanDataFileName(scanner.name)] > 1;
        files.push_back(scanDataFileName(shared ? scanner.name + " (" + scanner.label + ")" : scanner.name));
    }
    return files;
}

}  // namespace zt::scandata

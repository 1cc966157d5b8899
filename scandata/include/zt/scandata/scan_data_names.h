// File names of the scan-data files of one download: "<name>_ScanData.txt" for each scanner (see
// scanDataFileName), except that scanners whose names give the same file name each get their label added,
// "<name> (<label>)_ScanData.txt", so that no scanner overwrites another one's file.
#pragma once

#include <string>
#include <vector>

namespace zt::scandata {

struct ScannerFileKey {
    std::string name;   // the scanner's name, UTF-8
    std::string label;  // what tells two scanners of one name apart, e.g. "COM5"
};

// One file name per scanner, in the order given.
[[nodiscard]] std::vector<std::string> scanDataFileNames(const std::vector<ScannerFileKey>& scanners);

}  // namespace zt::scandata

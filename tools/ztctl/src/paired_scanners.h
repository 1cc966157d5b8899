// The scanners paired with this machine, from the device search: port number and Bluetooth name.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ztctl {

struct PairedScanner {
    std::int32_t port = 0;
    std::string name;  // UTF-8, as the Bluetooth stack stores it
};

// In the order the search gives them. Takes up to a second when BlueZ is asked.
[[nodiscard]] std::vector<PairedScanner> searchPairedScanners();

// Port -> name of the paired scanners; the first name wins when a port is listed twice.
class ScannerNames {
public:
    ScannerNames() = default;
    explicit ScannerNames(const std::vector<PairedScanner>& scanners);

    [[nodiscard]] std::optional<std::string> find(unsigned port) const;

private:
    std::map<std::int64_t, std::string> names_;
};

}  // namespace ztctl

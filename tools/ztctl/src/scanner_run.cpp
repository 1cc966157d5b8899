#include "scanner_run.h"

#include "usage_error.h"

namespace ztctl {

int forEachScanner(std::span<const unsigned> ports, const ScannerNames& names, std::stop_token stop,
                   const std::function<bool(OpenScanner&)>& action) {
    const SdkShutdown shutdown;
    auto scanners = openScanners(ports, names);
    bool allGood = true;
    for (auto& scanner : scanners) {
        if (!scanner.isOpen()) {
            allGood = false;
            continue;
        }
        if (stop.stop_requested()) {
            reportFailure(scanner.port(), SDK_ERR_ABORTED);
            allGood = false;
            continue;
        }
        allGood = action(scanner) && allGood;
    }
    return allGood ? kExitOk : kExitFailed;
}

}  // namespace ztctl

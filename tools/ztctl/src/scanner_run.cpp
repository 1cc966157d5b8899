#include "scanner_run.h"

#include "interruptible.h"
#include "ports.h"

#include <cstdio>

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

// Writes with `apply` to every port; prints "COM5: done" for each success.
int applyToAll(const Context& context, const std::vector<unsigned>& ports, std::string_view what,
               const std::function<int(ScannerHandle)>& apply) {
    return runInterruptible(context.signals, [&](std::stop_token stop) {
        return forEachScanner(ports, ScannerNames{}, stop, [&](OpenScanner& scanner) {
            const int rc = apply(scanner.handle());
            if (rc != SDK_OK) {
                reportFailure(scanner.port(), rc, what);
                return false;
            }
            std::printf("%s: %.*s done\n", portLabel(scanner.port()).c_str(), static_cast<int>(what.size()), what.data());
            std::fflush(stdout);
            return true;
        });
    });
}

}  // namespace ztctl

#include "scanner_run.h"

#include "interruptible.h"
#include "ports.h"

#include <cstdio>

namespace ztctl {
namespace {

// False (reported) when the scanner cannot be worked on.
bool ready(const OpenScanner& scanner, const std::stop_token& stop) {
    if (!scanner.isOpen()) return false;  // the open failure is reported already
    if (stop.stop_requested()) {
        reportFailure(scanner.port(), SDK_ERR_ABORTED);
        return false;
    }
    if (scanner.lost()) {
        reportFailure(scanner.port(), SDK_ERR_PORT_LOST);
        return false;
    }
    return true;
}

}  // namespace

int forEachScanner(const ScannerRun& run, std::stop_token stop, const std::function<bool(OpenScanner&)>& action) {
    const SdkShutdown shutdown;
    bool allGood = true;
    const auto work = [&](OpenScanner& scanner) {
        allGood = ready(scanner, stop) && action(scanner) && allGood;
        scanner.close();
    };
    if (run.opening == Opening::Together) {
        auto scanners = openScanners(run.ports, run.names, run.sink);
        for (auto& scanner : scanners) work(scanner);
    } else {
        for (const unsigned port : run.ports) {
            if (stop.stop_requested()) {
                reportFailure(port, SDK_ERR_ABORTED);
                allGood = false;
                continue;
            }
            auto scanner = openScanner(port, run.names, run.sink);
            work(scanner);
        }
    }
    return allGood ? kExitOk : kExitFailed;
}

int runOnScanners(const Context& context, std::span<const unsigned> ports, const ScannerNames& names, bool json,
                  Opening opening, const std::function<bool(OpenScanner&)>& action) {
    LiveReports reports(names, json);
    return runInterruptible(context.signals, reports, [&](std::stop_token stop) {
        return forEachScanner({ports, names, reports.sink(), opening}, stop, action);
    });
}

int applyToAll(const Context& context, const std::vector<unsigned>& ports, std::string_view what,
               const std::function<int(ScannerHandle)>& apply) {
    return runOnScanners(context, ports, ScannerNames{}, false, Opening::Together, [&](OpenScanner& scanner) {
        const int rc = apply(scanner.handle());
        if (rc != SDK_OK) {
            reportFailure(scanner.port(), rc, what);
            return false;
        }
        std::printf("%s: %.*s done\n", portLabel(scanner.port()).c_str(), static_cast<int>(what.size()), what.data());
        std::fflush(stdout);
        return true;
    });
}

}  // namespace ztctl

// The shape of most subcommands: open the given ports, then act on each open scanner in turn, while live
// barcodes that arrive meanwhile are reported.
#pragma once

#include "commands_impl.h"
#include "live_reports.h"
#include "paired_scanners.h"
#include "scanner_session.h"

#include <functional>
#include <span>
#include <stop_token>
#include <string_view>
#include <vector>

namespace ztctl {

enum class Opening {
    // All at once first (an open takes a second), for short work on each.
    Together,
    // Each just before its own work, for long work: the others keep their scans stored meanwhile
    // instead of sending them live to a command that only reports them.
    EachInTurn,
};

struct ScannerRun {
    std::span<const unsigned> ports;
    const ScannerNames& names;
    LiveEventSink& sink;
    Opening opening = Opening::Together;
};

// Calls `action` for each scanner that opened, in the order of the ports, until a stop is requested, and
// closes each scanner as soon as its action is done. `action` returns false when it failed (it reports
// why itself). Returns kExitOk when every scanner opened and every action succeeded, else kExitFailed.
// Ends with the SDK shut down.
[[nodiscard]] int forEachScanner(const ScannerRun& run, std::stop_token stop,
                                 const std::function<bool(OpenScanner&)>& action);

// forEachScanner under runInterruptible, with live reports on stderr (JSON lines when `json`).
[[nodiscard]] int runOnScanners(const Context& context, std::span<const unsigned> ports, const ScannerNames& names,
                                bool json, Opening opening, const std::function<bool(OpenScanner&)>& action);

// Runs `apply` on every port, interruptible by the stop signals; prints "COM5: <what> done" for each
// success and reports each failure. Returns the exit status.
[[nodiscard]] int applyToAll(const Context& context, const std::vector<unsigned>& ports, std::string_view what,
                             const std::function<int(ScannerHandle)>& apply);

}  // namespace ztctl

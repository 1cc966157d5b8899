// Runs a command's work on a thread of its own while the main thread watches SIGINT and SIGTERM.
#pragma once

#include "live_reports.h"
#include "zt/platform/stop_signals.h"

#include <functional>
#include <stop_token>
#include <string_view>

namespace ztctl {

using zt::platform::StopSignals;

// Returns the work's result. Meanwhile the main thread prints the live reports as they arrive (the last
// ones once the work is done). On the first signal the stop token is set and the SDK is shut down, so
// that an open or an exchange in progress ends at once (with SDK_ERR_ABORTED); the work then finishes. A
// second signal removes the temporary files of downloads and ends the process at once with status 130.
// Exceptions of the work are passed on.
[[nodiscard]] int runInterruptible(const StopSignals& signals, LiveReports& reports,
                                   const std::function<int(std::stop_token)>& work);

// Asks `question` on stderr and reads one line from standard input: true for y or yes (any letter case).
// End of input, any other answer, or a stop signal answer no.
[[nodiscard]] bool confirm(const StopSignals& signals, std::string_view question);

}  // namespace ztctl

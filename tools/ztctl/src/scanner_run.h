// The shape of most subcommands: open the given ports together, then act on each open scanner in turn.
#pragma once

#include "commands_impl.h"
#include "paired_scanners.h"
#include "scanner_session.h"

#include <functional>
#include <span>
#include <stop_token>
#include <string_view>
#include <vector>

namespace ztctl {

// Opens `ports` and calls `action` for each scanner that opened, in the order of `ports`, until a stop is
// requested. `action` returns false when it failed (it reports why itself). Returns kExitOk when every
// scanner opened and every action succeeded, else kExitFailed. Closes every scanner before it returns.
[[nodiscard]] int forEachScanner(std::span<const unsigned> ports, const ScannerNames& names, std::stop_token stop,
                                 const std::function<bool(OpenScanner&)>& action);

// Runs `apply` on every port, interruptible by the stop signals; prints "COM5: <what> done" for each
// success and reports each failure. Returns the exit status.
[[nodiscard]] int applyToAll(const Context& context, const std::vector<unsigned>& ports, std::string_view what,
                             const std::function<int(ScannerHandle)>& apply);

}  // namespace ztctl

// A mistake on the command line: reported with a hint to --help, exit status 2.
#pragma once

#include <stdexcept>

namespace ztctl {

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Exit statuses of every subcommand.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // some scanner failed
inline constexpr int kExitUsage = 2;   // bad arguments

}  // namespace ztctl

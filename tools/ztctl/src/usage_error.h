// Command-line mistakes (the client module's UsageError) and the exit statuses of every subcommand.
#pragma once

#include "zt/client/arguments.h"

namespace ztctl {

using zt::client::UsageError;

// Exit statuses of every subcommand.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // some scanner failed
inline constexpr int kExitUsage = 2;   // bad arguments

}  // namespace ztctl

// SIGINT and SIGTERM as readable events (the platform layer's signalfd), watched by the poll loops.
#pragma once

#include "zt/platform/stop_signals.h"

namespace ztctl {
using zt::platform::StopSignals;
}  // namespace ztctl

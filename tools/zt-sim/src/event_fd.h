// Wakes a thread that waits in poll(): the platform layer's eventfd (signal() makes it readable until
// clear()).
#pragma once

#include "zt/platform/unique_fd.h"

namespace zt::sim {
using EventFd = platform::WakeFd;
}  // namespace zt::sim

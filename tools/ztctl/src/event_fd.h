// Wakes a thread that waits in poll(): the platform layer's eventfd (signal() makes it readable until
// clear(); safe from any thread, never blocks).
#pragma once

#include "zt/platform/unique_fd.h"

namespace ztctl {
using EventFd = zt::platform::WakeFd;
}  // namespace ztctl

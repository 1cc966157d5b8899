// Best-effort thread priority: a refused raise (no privilege) is ignored.
#pragma once

namespace zt::platform {

// Raises the calling thread a little above its peers, where the system allows it.
void raiseCurrentThreadPriority();

}  // namespace zt::platform

#include "zt/platform/thread_priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace zt::platform {

void raiseCurrentThreadPriority() {
    // On Linux the nice value is per thread; lowering it needs CAP_SYS_NICE, so a refusal is expected
    // for ordinary users and simply leaves the thread at normal priority.
    const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
    const int current = ::getpriority(PRIO_PROCESS, tid);
    (void)::setpriority(PRIO_PROCESS, tid, current - 1);
}

}  // namespace zt::platform

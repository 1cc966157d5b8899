// How `listen` reconnects a scanner that dropped: the program's reconnect schedule (13 s, then every 5 s)
// with --retries attempts after the first. The waits can be shortened for tests through
// ZTCTL_RECONNECT_DELAY_MS and ZTCTL_RETRY_DELAY_MS.
#pragma once

#include "zt/client/reconnect_schedule.h"

namespace ztctl {

struct ReconnectPolicy {
    zt::client::ReconnectSchedule schedule;
    int retries = zt::client::ReconnectSchedule::kDefaultRetries;  // 0: a dropped scanner is not reconnected

    // The defaults, with the waits taken from the environment where set. Throws UsageError for a value
    // that is not a number of milliseconds (0..3600000).
    [[nodiscard]] static ReconnectPolicy fromEnvironment();
};

}  // namespace ztctl

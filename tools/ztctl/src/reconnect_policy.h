// When `listen` tries again after a scanner dropped: first after 13 s, then every 5 s while retries are
// left. The delays can be shortened for tests through ZTCTL_RECONNECT_DELAY_MS and ZTCTL_RETRY_DELAY_MS.
#pragma once

#include <chrono>

namespace ztctl {

struct ReconnectPolicy {
    std::chrono::milliseconds firstDelay{13000};
    std::chrono::milliseconds retryDelay{5000};
    int retries = 3;  // attempts after the first one; 0: a dropped scanner is not reconnected

    // The defaults, with the delays taken from the environment where set. Throws UsageError for a value
    // that is not a number of milliseconds (0..3600000).
    [[nodiscard]] static ReconnectPolicy fromEnvironment();
};

}  // namespace ztctl

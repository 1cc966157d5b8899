#include "reconnect_policy.h"

#include "setting_values.h"
#include "usage_error.h"

#include <cstdlib>
#include <string>

namespace ztctl {
namespace {

constexpr unsigned kMaxDelayMs = 3'600'000;

void override(const char* variable, std::chrono::milliseconds& delay) {
    const char* value = std::getenv(variable);
    if (value == nullptr) return;
    delay = std::chrono::milliseconds(parseNumber(value, variable, 0, kMaxDelayMs));
}

}  // namespace

ReconnectPolicy ReconnectPolicy::fromEnvironment() {
    ReconnectPolicy policy;
    override("ZTCTL_RECONNECT_DELAY_MS", policy.schedule.afterDrop);
    override("ZTCTL_RETRY_DELAY_MS", policy.schedule.retryDelay);
    return policy;
}

}  // namespace ztctl

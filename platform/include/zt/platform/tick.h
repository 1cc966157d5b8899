// Millisecond tick count from the monotonic clock.
#pragma once

#include <cstdint>

namespace zt::platform {

// Milliseconds since an arbitrary start, wrapping after about 49.7 days; compare ticks by subtraction.
[[nodiscard]] std::uint32_t tickCount();

}  // namespace zt::platform

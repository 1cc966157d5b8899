// The simulator's descriptors close themselves: the platform layer's owner.
#pragma once

#include "zt/platform/unique_fd.h"

#include <unistd.h>

namespace zt::sim {
using platform::UniqueFd;
}  // namespace zt::sim

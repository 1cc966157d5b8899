// ztctl's descriptors close themselves: the platform layer's owner.
#pragma once

#include "zt/platform/unique_fd.h"

#include <unistd.h>

namespace ztctl {
using zt::platform::UniqueFd;
}  // namespace ztctl

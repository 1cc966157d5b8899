// The symbology option table of the protocol library, under the name the settings pages use.
#pragma once

#include "zt/protocol/symbology.h"

namespace talvo::config {
namespace symbology = zt::wire;
}  // namespace talvo::config

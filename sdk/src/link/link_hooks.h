// Points where a test can stop the receive thread, to put a race in a chosen order instead of waiting
// for timing luck. Empty in the shipped library.
#pragma once

#include "zt/protocol/wire.h"

#include <functional>

namespace zt::sdk {

struct LinkHooks {
    // On the receive thread, with a response read and about to be offered to the exchange.
    std::function<void(const wire::FrameHeader&)> beforeHandOver;
};

}  // namespace zt::sdk

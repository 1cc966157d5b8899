// What a scanner keeps across hang-ups: how it answers, what it received and its wire speed. Its
// terminal sessions come and go; they all work on this.
#pragma once

#include "frame_log.h"
#include "responder.h"

#include <atomic>

namespace zt::sim {

struct ScannerState {
    Responder responder;
    FrameLog log;
    std::atomic<unsigned> baud{0};
};

}  // namespace zt::sim

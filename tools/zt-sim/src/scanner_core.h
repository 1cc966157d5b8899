// What a scanner keeps across hang-ups: its model, how it answers, what it received and its wire speed.
// Its terminal sessions come and go; they all work on this.
#pragma once

#include "frame_log.h"
#include "responder.h"
#include "scanner_model.h"

#include <atomic>

namespace zt::sim {

struct ScannerCore {
    explicit ScannerCore(int port)
        : model(port), responder([this](const wire::FrameHeader& request, std::span<const std::uint8_t> payload) {
              return model.answer(request, payload);
          }) {}
    ScannerCore(const ScannerCore&) = delete;
    ScannerCore& operator=(const ScannerCore&) = delete;

    ScannerModel model;
    Responder responder;  // answers from the model unless a handler was taught
    FrameLog log;
    std::atomic<unsigned> baud{0};
};

}  // namespace zt::sim

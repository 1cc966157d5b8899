// Decides what a scanner writes back for a request: the taught handler's answer, or the model's for a
// command nobody taught, changed by the faults queued for that request.
#pragma once

#include "fault_plan.h"
#include "zt/sim/simulator.h"

#include <chrono>
#include <map>
#include <mutex>
#include <vector>

namespace zt::sim {

struct Reply {
    std::vector<Bytes> packetsBefore;  // whole frames, written before the answer
    Bytes answer;                      // noise and the answer frame; empty when silent
    int pieces = 1;                    // the answer is written in this many pieces
    std::chrono::milliseconds gap{0};  // between pieces
};

class Responder {
public:
    // `model` answers every command that has no taught handler.
    explicit Responder(CommandHandler model);

    void teach(wire::Command command, CommandHandler handler);
    [[nodiscard]] FaultPlan& faults() { return faults_; }

    // Uses up one request of every queued fault.
    [[nodiscard]] Reply respond(const wire::FrameHeader& request, std::span<const std::uint8_t> payload);

private:
    [[nodiscard]] std::optional<Bytes> handlerAnswer(const wire::FrameHeader& request,
                                                     std::span<const std::uint8_t> payload);

    std::mutex mutex_;
    const CommandHandler model_;
    std::map<std::uint8_t, CommandHandler> handlers_;
    FaultPlan faults_;
};

}  // namespace zt::sim

#include "responder.h"

#include "frame_builder.h"

#include <iostream>

namespace zt::sim {
namespace {

// The header fields a fault may change, applied in the order the faults are documented.
void applyHeaderFaults(const RequestFaults& faults, wire::FrameHeader& header) {
    if (faults.wrongCode) header.type = static_cast<std::uint8_t>((header.type + 1) & wire::kCodeMask);
    if (faults.wrongSeq) header.seq = static_cast<std::uint8_t>(header.seq + 1);
    if (faults.retry) header.retry = *faults.retry;
}

}  // namespace

Responder::Responder(CommandHandler model) : model_(std::move(model)) {}

void Responder::teach(wire::Command command, CommandHandler handler) {
    const std::lock_guard lock(mutex_);
    handlers_[static_cast<std::uint8_t>(command)] = std::move(handler);
}

std::optional<Bytes> Responder::handlerAnswer(const wire::FrameHeader& request, std::span<const std::uint8_t> payload) {
    CommandHandler handler;
    {
        const std::lock_guard lock(mutex_);
        const auto found = handlers_.find(request.code());
        if (found != handlers_.end()) handler = found->second;
    }
    // Called unlocked: a handler may teach or queue faults itself.
    if (handler) return handler(request, payload);
    return model_ ? model_(request, payload) : std::nullopt;
}

Reply Responder::respond(const wire::FrameHeader& request, std::span<const std::uint8_t> payload) {
    auto faults = faults_.takeNext();
    Reply reply;
    for (const auto& packet : faults.packetsBefore) {
        if (auto frame = buildPacket(packet.type, packet.record, 0)) reply.packetsBefore.push_back(std::move(*frame));
    }
    if (faults.silent) return reply;

    // A refusal answers even a command nobody taught: the scanner turns the request down.
    auto answer = faults.refused ? std::optional<Bytes>{{wire::kStatusRefused}} : handlerAnswer(request, payload);
    if (!answer) return reply;

    wire::FrameHeader header{request.seq, request.block, request.retry, request.code(), 0};
    applyHeaderFaults(faults, header);
    for (const auto& mutate : faults.mutations) mutate(header, *answer);

    auto frame = buildFrame(header, *answer);
    if (!frame) {
        std::cerr << "zt-sim: answer to command " << int{request.code()} << " is too long to send\n";
        return reply;
    }
    reply.answer = std::move(faults.noise);
    reply.answer.insert(reply.answer.end(), frame->begin(), frame->end());
    reply.pieces = faults.pieces;
    reply.gap = faults.gap;
    return reply;
}

}  // namespace zt::sim

#include "link/frame_reader.h"

#include <algorithm>

namespace zt::sdk {

namespace {

using platform::IoStatus;

ReadOutcome outcomeOf(IoStatus status) {
    switch (status) {
        case IoStatus::Lost: return ReadOutcome::Lost;
        case IoStatus::Cancelled: return ReadOutcome::Cancelled;
        default: return ReadOutcome::Ended;
    }
}

// Fills `out` completely, repeating reads; any read that brings nothing ends the attempt.
IoStatus readExactly(ByteSource& source, std::span<std::uint8_t> out) {
    while (!out.empty()) {
        std::size_t got = 0;
        const IoStatus status = source.read(out, got);
        if (status != IoStatus::Ok) return status;
        if (got == 0 || got > out.size()) return IoStatus::Failed;
        out = out.subspan(got);
    }
    return IoStatus::Ok;
}

// Reads and drops `count` bytes through the receive buffer, so the stream stays in step with the sender.
IoStatus skipBytes(ByteSource& source, std::size_t count, ReceiveBuffer& buffer) {
    while (count > 0) {
        const std::size_t chunk = std::min(count, buffer.size());
        const IoStatus status = readExactly(source, std::span(buffer).first(chunk));
        if (status != IoStatus::Ok) return status;
        count -= chunk;
    }
    return IoStatus::Ok;
}

}  // namespace

ReadResult readFrame(ByteSource& source, ReceiveBuffer& buffer) {
    std::array<std::uint8_t, wire::kHeaderSize> head{};
    for (;;) {
        std::size_t got = 0;
        const IoStatus status = source.read(std::span(head).first(1), got);
        if (status != IoStatus::Ok || got != 1) return {outcomeOf(status), {}};
        if (head[0] == wire::kSync) break;
    }
    if (const IoStatus status = readExactly(source, std::span(head).subspan(1)); status != IoStatus::Ok) {
        return {outcomeOf(status), {}};
    }
    const auto header = wire::FrameHeader::decode(head);
    const std::size_t rest = std::size_t{header.length} + wire::kTrailerSize;
    if (rest > buffer.size()) {
        const IoStatus status = skipBytes(source, rest, buffer);
        return {status == IoStatus::Ok ? ReadOutcome::Discarded : outcomeOf(status), header};
    }
    if (const IoStatus status = readExactly(source, std::span(buffer).first(rest)); status != IoStatus::Ok) {
        return {outcomeOf(status), {}};
    }
    return {ReadOutcome::Frame, header};
}

}  // namespace zt::sdk

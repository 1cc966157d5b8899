#include "line_worker.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace zt::sim {

LineWorker::LineWorker(ScannerCore& core, int master, Outbox& outbox, std::stop_token stop)
    : core_(core),
      master_(master),
      outbox_(outbox),
      waiter_(outbox.wake(), std::move(stop)),
      writer_(master, waiter_, core.baud) {}

void LineWorker::run() {
    for (;;) {
        writeQueued();  // sends queued while the worker slept are only seen here
        // Checked after the writes: their sleeps may have drained the stop signal from the descriptor.
        if (waiter_.stopping()) return;
        // Once the line is gone the master would report POLLHUP without end; stop watching it.
        std::array<pollfd, 2> fds{{{outbox_.wake().fd(), POLLIN, 0}, {lineUp_ ? master_ : -1, POLLIN, 0}}};
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            std::fprintf(stderr, "zt-sim: a scanner's line stops: poll: %s\n", std::strerror(errno));
            return;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            outbox_.wake().clear();
            writeQueued();  // before any request that came in meanwhile
        }
        if ((fds[1].revents & POLLIN) != 0) {
            readLine();
        } else if (fds[1].revents != 0) {
            lineUp_ = false;
        }
    }
}

void LineWorker::readLine() {
    std::array<std::uint8_t, 4096> chunk{};
    const auto got = ::read(master_, chunk.data(), chunk.size());
    // Stamped now, before parsing and answering: the frames that this read completes arrived by then,
    // however long the answers to earlier frames of the same read take.
    const auto readAt = Clock::now();
    if (got <= 0) {
        if (got == 0 || (errno != EAGAIN && errno != EINTR)) lineUp_ = false;
        return;
    }
    std::span<const std::uint8_t> rest(chunk.data(), static_cast<std::size_t>(got));
    while (!rest.empty() && !waiter_.stopping()) {
        rest = rest.subspan(parser_.feed(rest));
        // The parser holds the largest possible frame, so a full parser always yields a frame here.
        while (auto frame = parser_.next()) handle(std::move(*frame), readAt);
    }
}

void LineWorker::handle(ParsedFrame frame, Clock::time_point readAt) {
    const auto at = arrival(frame, readAt);
    if (!waiter_.sleepUntil(at)) return;
    core_.log.add({at, frame.header, frame.payload});
    if (frame.header.isRequest()) writeReply(core_.responder.respond(frame.header, frame.payload));
}

Clock::time_point LineWorker::arrival(const ParsedFrame& frame, Clock::time_point readAt) {
    const unsigned baud = core_.baud.load();
    if (baud == 0) return readAt;
    receiveFree_ = std::max(readAt, receiveFree_) + wireTime(wire::kFrameOverhead + frame.payload.size(), baud);
    return receiveFree_;
}

void LineWorker::writeReply(const Reply& reply) {
    for (const auto& packet : reply.packetsBefore) {
        if (!writer_.write(packet)) return;
    }
    const std::span<const std::uint8_t> answer(reply.answer);
    if (answer.empty()) return;
    const std::size_t pieces =
        std::clamp<std::size_t>(static_cast<std::size_t>(std::max(reply.pieces, 1)), 1, answer.size());
    for (std::size_t i = 0; i < pieces; ++i) {
        const std::size_t begin = answer.size() * i / pieces;
        const std::size_t end = answer.size() * (i + 1) / pieces;
        if (i > 0 && !waiter_.sleepUntil(Clock::now() + reply.gap)) return;
        if (!writer_.write(answer.subspan(begin, end - begin))) return;
    }
}

void LineWorker::writeQueued() {
    for (const auto& bytes : outbox_.takeAll()) {
        if (waiter_.stopping()) return;
        // Bytes that cannot be written are dropped, as a radio link would lose them.
        static_cast<void>(writer_.write(bytes));
    }
}

}  // namespace zt::sim

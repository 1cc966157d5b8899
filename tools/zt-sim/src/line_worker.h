// The loop of a scanner's worker thread: reads requests from the terminal, records them, writes the
// answers and whatever other threads queued for sending.
#pragma once

#include "frame_parser.h"
#include "outbox.h"
#include "responder.h"
#include "scanner_core.h"
#include "waiter.h"
#include "wire_writer.h"

#include <stop_token>

namespace zt::sim {

class LineWorker {
public:
    LineWorker(ScannerCore& core, int master, Outbox& outbox, std::stop_token stop);

    void run();

private:
    void readLine();
    void handle(ParsedFrame frame, Clock::time_point readAt);
    // When the frame's last byte arrived: the time of the read that completed it, plus the frame's own
    // wire time when a baud rate is set.
    [[nodiscard]] Clock::time_point arrival(const ParsedFrame& frame, Clock::time_point readAt);
    void writeReply(const Reply& reply);
    void writeQueued();

    ScannerCore& core_;
    int master_;
    Outbox& outbox_;
    Waiter waiter_;
    WireWriter writer_;
    FrameParser parser_;
    Clock::time_point receiveFree_{};  // when the wire has carried everything received so far
    bool lineUp_ = true;
};

}  // namespace zt::sim

// Hand-off of one response from the receive thread to the waiting exchange.
//
// The receive thread hands a response over and then waits until the exchange has parsed it, so that it
// never reads into the receive buffer while a codec parses it. The exchange releases the response after
// parsing, and also after a time-out or mismatch in case a response arrived just after its wait ended.
// A release that finds nothing handed over has no effect, so it cannot let a later hand-off skip its wait.
#pragma once

#include "zt/protocol/wire.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace zt::sdk {

class ResponseHandoff {
public:
    enum class Wait { Arrived, TimedOut, Aborted };

    // Receive thread: publishes `header` and waits until the exchange releases it or the receive session
    // is cancelled. False when cancelled.
    bool handOver(const wire::FrameHeader& header);

    // Exchange: waits up to `timeout` for a response, or until an abort is requested.
    [[nodiscard]] Wait await(std::chrono::milliseconds timeout, wire::FrameHeader& header);

    // Exchange: lets the receive thread go on. Harmless when nothing was handed over.
    void release();

    // Abort of a running exchange (the port is being closed); wakes an exchange waiting in await().
    void requestAbort();
    void clearAbort();
    // A permanent abort: the link is being destroyed, so no exchange may wait any more.
    void requestShutdown();
    [[nodiscard]] bool abortRequested() const;

    // Ends a receive thread's wait in handOver() for the rest of the session.
    void cancelSession();
    void beginSession();

private:
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    wire::FrameHeader header_{};
    bool handed_ = false;
    bool abort_ = false;
    bool shutdown_ = false;
    bool sessionCancelled_ = false;
};

}  // namespace zt::sdk

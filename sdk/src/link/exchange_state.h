// The state of the exchanges on one link, under one lock: whether an exchange is open, the retry byte
// its next response must carry, its sequence number, the response handed over to it, and the requests
// to abort it.
//
// Three threads share it. The command thread opens an exchange, awaits its responses and closes it. The
// receive thread offers each response it reads: the offer is taken only while an exchange is open and
// expects that retry byte, and the receive thread then waits until the exchange is done with it (it
// never reads into the receive buffer while a codec parses it). Closing the exchange, or expecting a new
// retry byte for a repeat, frees a response that was handed over and not taken, so the receive thread
// never waits for an exchange that has ended. close() of the link aborts a running exchange and waits
// until it is closed.
#pragma once

#include "zt/protocol/wire.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>

namespace zt::sdk {

class ExchangeState {
public:
    struct Response {
        wire::FrameHeader header{};
        std::span<const std::uint8_t> payload;  // in the receive buffer; valid until release()
    };
    enum class Wait { Arrived, TimedOut, Aborted };
    enum class Offer {
        Taken,      // the exchange had it and is done with it, or ended before it took it
        Dropped,    // no exchange open, or it awaits another retry byte
        Flush,      // a retry byte other than 0 while 0 is expected: a late answer to an earlier repeat
        Cancelled,  // the receive session is being ended
    };

    // Command thread. Opens an exchange and returns its sequence number; nothing while an abort is
    // requested (the link is being closed). The exchange expects retry byte 0.
    [[nodiscard]] std::optional<std::uint8_t> open();
    // The retry byte the next response must carry (a repeat was sent); frees a response handed over
    // for the earlier send.
    void expectRetry(std::uint8_t retry);
    // Waits up to `timeout` for a response, or until an abort is requested.
    [[nodiscard]] Wait await(std::chrono::milliseconds timeout, Response& response);
    // Done with the response that await() gave; the receive thread goes on.
    void release();
    // Ends the exchange; a finished one moves the sequence on. Frees a response not taken.
    void close(bool finished);
    [[nodiscard]] bool abortRequested() const;

    // Receive thread.
    [[nodiscard]] bool exchangeOpen() const;
    [[nodiscard]] Offer offer(const wire::FrameHeader& header, std::span<const std::uint8_t> payload);
    void beginSession();

    // close() of the link.
    void requestAbort();
    // Waits until no exchange is open; false after `timeout`.
    [[nodiscard]] bool waitClosed(std::chrono::milliseconds timeout);
    void clearAbort();
    // A permanent abort: the link is being destroyed.
    void requestShutdown();
    // Ends a receive thread's wait in offer() for the rest of the session.
    void cancelSession();

    [[nodiscard]] std::uint8_t sequence() const;

private:
    void freeHandedLocked();

    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool open_ = false;
    std::uint8_t expectedRetry_ = 0;
    std::uint8_t sequence_ = 0;  // the seq of the next exchange; wraps
    bool handed_ = false;        // a response is handed over and not yet released
    Response response_;
    bool abort_ = false;
    bool shutdown_ = false;
    bool sessionCancelled_ = false;
};

}  // namespace zt::sdk

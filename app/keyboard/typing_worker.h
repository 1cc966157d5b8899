// The one thread that types barcodes. Barcodes are queued in the order they arrive (from the SDK's
// dispatcher thread or anywhere else) and each is typed whole before the next begins, so the
// characters of two scanners never interleave. Queuing never waits for typing.
//
// When the output cannot type (no backend, the portal refused, the X server went away) the failure is
// reported once through the failure handler and later barcodes are counted as untyped; they are still
// listed by the program, which is the handler's business.
//
// At shutdown the barcode being typed is finished, unless that takes longer than finishAtShutdown (then
// it is cut at a character boundary, no key left pressed); barcodes still queued are not typed any more
// (the program is ending; typing on into whatever window has the focus would surprise the user) and
// their number is returned by shutdown().
#pragma once

#include "keyboard/keyboard_output.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace talvo::keyboard {

struct TypingStats {
    std::uint64_t typed = 0;    // barcodes typed whole
    std::uint64_t untyped = 0;  // barcodes the output could not type
    std::uint64_t refused = 0;  // barcodes refused because the queue was full or the worker stopped
};

struct ShutdownReport {
    std::size_t droppedQueued = 0;  // barcodes still queued, not typed
    bool cutCurrent = false;        // the barcode in progress was cut short
};

class TypingWorker {
public:
    // Called at most once, on the worker thread, with the reason typing does not work (not at all when the
    // output was switched off on purpose). Must not block.
    using FailureHandler = std::function<void(const QString& reason)>;
    // Called on the worker thread after the last key event of a barcode left it (benchmarks, tests).
    using TypedObserver = std::function<void(std::uint64_t sequence)>;

    // Barcodes waiting beyond this many are refused and counted: a scanner gone wild must not eat memory.
    static constexpr std::size_t kQueueLimit = 4096;
    static constexpr std::chrono::milliseconds kFinishAtShutdown{2000};

    TypingWorker(std::unique_ptr<KeyboardOutput> output, int keyDelayMs, FailureHandler onFailure = {},
                 TypedObserver onTyped = {});
    ~TypingWorker();
    TypingWorker(const TypingWorker&) = delete;
    TypingWorker& operator=(const TypingWorker&) = delete;

    // Queues one barcode. Returns its sequence number (1, 2, ...), nothing when refused. Any thread.
    [[nodiscard]] std::optional<std::uint64_t> enqueue(const QString& text);

    // Milliseconds per character, 1..1000 (the value given to the constructor, clamped).
    [[nodiscard]] int keyDelay() const { return keyDelayMs_; }

    // How long shutdown() lets the barcode in progress go on (tests shorten it).
    void setFinishAtShutdown(std::chrono::milliseconds limit) { finishAtShutdown_.store(limit.count()); }

    [[nodiscard]] QString description() const { return output_->description(); }
    [[nodiscard]] TypingStats stats() const;
    // True once nothing is queued or being typed; false at the deadline.
    [[nodiscard]] bool waitIdle(std::chrono::milliseconds timeout) const;

    // Stops and joins the worker (see the top of this file). Later calls return an empty report.
    ShutdownReport shutdown();

private:
    struct Barcode {
        std::uint64_t sequence = 0;
        std::vector<Keysym> keysyms;
    };

    void run(std::stop_token stop);
    [[nodiscard]] std::optional<Barcode> next(std::stop_token stop);
    void type(const Barcode& barcode, std::stop_token stop);
    void reportFailure();
    [[nodiscard]] bool pastShutdownDeadline() const;

    std::unique_ptr<KeyboardOutput> output_;
    FailureHandler onFailure_;
    TypedObserver onTyped_;
    const int keyDelayMs_;

    mutable std::mutex mutex_;
    mutable std::condition_variable_any changed_;
    std::deque<Barcode> queue_;
    std::uint64_t nextSequence_ = 1;
    bool busy_ = false;
    bool accepting_ = true;
    bool broken_ = false;
    bool cut_ = false;
    TypingStats stats_;

    std::atomic<std::chrono::milliseconds::rep> finishAtShutdown_{kFinishAtShutdown.count()};
    std::atomic<std::chrono::steady_clock::rep> shutdownDeadline_{0};
    std::jthread thread_;
};

}  // namespace talvo::keyboard

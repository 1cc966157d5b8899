// A thread of the SDK that calls the application's callbacks, one notification at a time, in the order
// they were posted. Posting never waits.
//
// A dispatcher can be retired while its thread is inside a callback, so that nobody has to wait for
// that callback (which may itself wait for the thread that stops the SDK). Retired, it either drops its
// queue (stop) or keeps only the events of the handle whose callback it runs and delivers them before
// it ends (hand-over to a new dispatcher), so that one handle's callbacks never overlap or reorder.
// Either way its thread ends after the callback returns; its owner joins it once finished().
#pragma once

#include "session/notification.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace zt::sdk {

class EventDispatcher {
public:
    using Handler = std::function<void(Notification&)>;

    // Starts the thread, which delivers `backlog` first.
    explicit EventDispatcher(Handler handler, std::deque<Notification> backlog = {});
    // Drops what is queued and joins the thread. Only for a dispatcher that is not inside a callback
    // (else the join waits for the callback) and never on the dispatcher thread itself.
    ~EventDispatcher();
    EventDispatcher(const EventDispatcher&) = delete;
    EventDispatcher& operator=(const EventDispatcher&) = delete;

    // Queues an event. A retired dispatcher takes only events of the handle whose events it still
    // delivers; false when the event was not taken.
    // `notification` is moved from only when taken.
    bool post(Notification&& notification);

    // Moves the queued events of `handleId` to the front, in their order.
    void prioritize(std::uint64_t handleId);
    // True while the thread runs (or is about to run) a callback for another handle than `handleId`.
    [[nodiscard]] bool busyWithOtherThan(std::uint64_t handleId) const;
    // True while the thread is inside a callback.
    [[nodiscard]] bool inCallback() const;
    // Waits until no event of `handleId` is queued here and none is being delivered.
    void waitUntilDelivered(std::uint64_t handleId);

    // Retires the dispatcher and drops its queue.
    void stop();
    // Retires the dispatcher: returns its queue except the events of the handle whose callback runs,
    // which it keeps and delivers before its thread ends.
    [[nodiscard]] std::deque<Notification> handOver();

    // The thread has ended: join() returns at once.
    [[nodiscard]] bool finished() const;
    void waitFinished();
    // Waits until the thread has ended or `deadline` has passed: whether it ended.
    [[nodiscard]] bool waitFinishedUntil(std::chrono::steady_clock::time_point deadline);
    void join();

    // True on the thread of any dispatcher, current or retired.
    [[nodiscard]] static bool onDispatcherThread();
    [[nodiscard]] bool isThisThread() const { return std::this_thread::get_id() == threadId_; }

private:
    enum class Mode { Running, Draining, Stopped };

    void run();
    [[nodiscard]] bool holds(std::uint64_t handleId) const;  // the caller holds mutex_

    Handler handler_;
    mutable std::mutex mutex_;
    std::condition_variable cv_;       // events and mode changes, for the thread
    std::condition_variable changed_;  // a callback returned, the thread ended: for waiters
    std::deque<Notification> queue_;
    Mode mode_ = Mode::Running;
    std::uint64_t current_ = 0;  // handle of the callback in progress, 0 when none
    bool finished_ = false;
    std::mutex joinMutex_;  // the last owner and a stopping caller may both join
    std::thread thread_;
    std::thread::id threadId_;  // kept apart: readable while the thread object is being joined
};

}  // namespace zt::sdk

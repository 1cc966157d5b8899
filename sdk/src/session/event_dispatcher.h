// The SDK's event-dispatcher thread: calls the application's callbacks, one notification at a time, in
// the order they were posted. Posting never waits.
#pragma once

#include "session/notification.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace zt::sdk {

class EventDispatcher {
public:
    using Handler = std::function<void(Notification&)>;

    explicit EventDispatcher(Handler handler);
    // Stops the thread: notifications not yet handled are dropped. Must not run on the dispatcher thread.
    ~EventDispatcher();
    EventDispatcher(const EventDispatcher&) = delete;
    EventDispatcher& operator=(const EventDispatcher&) = delete;

    void post(Notification notification);
    [[nodiscard]] bool isDispatcherThread() const { return std::this_thread::get_id() == thread_.get_id(); }

private:
    void run();

    Handler handler_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<Notification> queue_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace zt::sdk

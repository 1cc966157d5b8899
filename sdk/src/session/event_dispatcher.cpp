#include "session/event_dispatcher.h"

namespace zt::sdk {

EventDispatcher::EventDispatcher(Handler handler) : handler_(std::move(handler)) {
    thread_ = std::thread([this] { run(); });
}

EventDispatcher::~EventDispatcher() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    cv_.notify_all();
    thread_.join();
}

void EventDispatcher::post(Notification notification) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        queue_.push_back(std::move(notification));
    }
    cv_.notify_one();
}

void EventDispatcher::run() {
    for (;;) {
        Notification next;
        {
            std::unique_lock lock(mutex_);
            cv_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            next = std::move(queue_.front());
            queue_.pop_front();
        }
        handler_(next);
    }
}

}  // namespace zt::sdk

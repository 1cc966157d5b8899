#include "session/event_dispatcher.h"

#include <algorithm>
#include <iterator>

namespace zt::sdk {

namespace {
thread_local bool tOnDispatcherThread = false;
}  // namespace

EventDispatcher::EventDispatcher(Handler handler, std::deque<Notification> backlog)
    : handler_(std::move(handler)), queue_(std::move(backlog)) {
    thread_ = std::thread([this] { run(); });
    threadId_ = thread_.get_id();
}

EventDispatcher::~EventDispatcher() {
    stop();
    join();
}

bool EventDispatcher::onDispatcherThread() { return tOnDispatcherThread; }

bool EventDispatcher::holds(std::uint64_t handleId) const {
    return current_ == handleId ||
           std::ranges::any_of(queue_, [&](const Notification& n) { return n.handleId == handleId; });
}

bool EventDispatcher::post(Notification&& notification) {
    {
        std::lock_guard lock(mutex_);
        if (mode_ == Mode::Stopped || finished_) return false;
        if (mode_ == Mode::Draining && !holds(notification.handleId)) return false;
        queue_.push_back(std::move(notification));
    }
    cv_.notify_one();
    return true;
}

void EventDispatcher::prioritize(std::uint64_t handleId) {
    std::lock_guard lock(mutex_);
    (void)std::ranges::stable_partition(queue_, [&](const Notification& n) { return n.handleId == handleId; });
}

bool EventDispatcher::busyWithOtherThan(std::uint64_t handleId) const {
    std::lock_guard lock(mutex_);
    return current_ != 0 && current_ != handleId;
}

bool EventDispatcher::inCallback() const {
    std::lock_guard lock(mutex_);
    return current_ != 0;
}

void EventDispatcher::waitUntilDelivered(std::uint64_t handleId) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return finished_ || !holds(handleId); });
}

void EventDispatcher::stop() {
    std::deque<Notification> dropped;
    {
        std::lock_guard lock(mutex_);
        mode_ = Mode::Stopped;
        dropped.swap(queue_);
    }
    cv_.notify_all();
    changed_.notify_all();
}

std::deque<Notification> EventDispatcher::handOver() {
    std::deque<Notification> rest;
    {
        std::lock_guard lock(mutex_);
        if (mode_ == Mode::Stopped) return rest;
        mode_ = Mode::Draining;
        const auto others = std::ranges::stable_partition(
            queue_, [&](const Notification& n) { return current_ != 0 && n.handleId == current_; });
        rest.assign(std::make_move_iterator(others.begin()), std::make_move_iterator(others.end()));
        queue_.erase(others.begin(), others.end());
    }
    cv_.notify_all();
    return rest;
}

bool EventDispatcher::finished() const {
    std::lock_guard lock(mutex_);
    return finished_;
}

void EventDispatcher::waitFinished() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return finished_; });
}

bool EventDispatcher::waitFinishedUntil(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    return changed_.wait_until(lock, deadline, [this] { return finished_; });
}

void EventDispatcher::join() {
    std::lock_guard lock(joinMutex_);
    if (thread_.joinable()) thread_.join();
}

void EventDispatcher::run() {
    tOnDispatcherThread = true;
    for (;;) {
        Notification next;
        {
            std::unique_lock lock(mutex_);
            cv_.wait(lock, [this] { return mode_ != Mode::Running || !queue_.empty(); });
            if (mode_ == Mode::Stopped || queue_.empty()) break;  // stopped, or drained
            next = std::move(queue_.front());
            queue_.pop_front();
            current_ = next.handleId;
        }
        handler_(next);
        {
            std::lock_guard lock(mutex_);
            current_ = 0;
        }
        changed_.notify_all();
    }
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
        queue_.clear();
    }
    changed_.notify_all();
}

}  // namespace zt::sdk

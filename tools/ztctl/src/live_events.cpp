#include "live_events.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace ztctl {

std::atomic<LiveEventSink*> LiveEventSink::instance_{nullptr};

LiveEventSink::LiveEventSink() {
    LiveEventSink* expected = nullptr;
    if (!instance_.compare_exchange_strong(expected, this)) throw std::logic_error("a second live event sink");
}

LiveEventSink::~LiveEventSink() { instance_.store(nullptr); }

std::deque<LiveEvent> LiveEventSink::take() {
    const std::lock_guard lock(mutex_);
    ready_.clear();
    return std::exchange(events_, {});
}

void LiveEventSink::post(LiveEvent event) {
    const std::lock_guard lock(mutex_);
    postLocked(std::move(event));
}

void LiveEventSink::postLocked(LiveEvent event) {
    events_.push_back(std::move(event));
    ready_.signal();
}

void LiveEventSink::beginOpen(unsigned port) {
    const std::lock_guard lock(mutex_);
    opening_.insert(port);
}

bool LiveEventSink::finishOpen(unsigned port, ScannerHandle handle) {
    const std::lock_guard lock(mutex_);
    if (const auto found = opening_.find(port); found != opening_.end()) opening_.erase(found);
    closed_.erase(handle);  // a new handle at the address of a closed one
    auto waiting = std::move(unclaimed_[handle]);
    unclaimed_.erase(handle);
    const bool lost = std::ranges::any_of(waiting, [](const LiveEvent& e) { return e.kind == LiveEvent::Kind::Lost; });
    if (!lost) ports_[handle] = port;
    for (auto& event : waiting) {
        event.port = port;
        postLocked(std::move(event));
    }
    if (lost) return false;
    postLocked({LiveEvent::Kind::Opened, port, SDK_OK, {}});
    return true;
}

void LiveEventSink::failOpen(unsigned port, int error) {
    const std::lock_guard lock(mutex_);
    if (const auto found = opening_.find(port); found != opening_.end()) opening_.erase(found);
    postLocked({LiveEvent::Kind::OpenFailed, port, error, {}});
    if (!opening_.empty()) return;
    // Every open has ended: what still waits came from opens that returned no handle. Their barcodes
    // are told as this port's rather than lost; a loss of a scanner that never opened means nothing.
    for (auto& [handle, events] : unclaimed_) {
        for (auto& event : events) {
            if (event.kind == LiveEvent::Kind::Lost) continue;
            event.port = port;
            postLocked(std::move(event));
        }
    }
    unclaimed_.clear();
}

void LiveEventSink::closed(ScannerHandle handle) {
    const std::lock_guard lock(mutex_);
    if (const auto found = ports_.find(handle); found != ports_.end()) {
        closed_[handle] = found->second;
        ports_.erase(found);
    }
}

bool LiveEventSink::isOpen(ScannerHandle handle) const {
    const std::lock_guard lock(mutex_);
    return ports_.contains(handle);
}

std::vector<ScannerHandle> LiveEventSink::beginClosing() {
    const std::lock_guard lock(mutex_);
    closing_ = true;
    std::vector<ScannerHandle> handles;
    for (const auto& [handle, port] : ports_) handles.push_back(handle);
    return handles;
}

std::optional<unsigned> LiveEventSink::portOfLocked(ScannerHandle handle) const {
    if (const auto found = ports_.find(handle); found != ports_.end()) return found->second;
    if (closing_) return std::nullopt;
    if (opening_.size() == 1) return *opening_.begin();
    if (!opening_.empty()) return std::nullopt;
    if (const auto found = closed_.find(handle); found != closed_.end()) return found->second;
    return std::nullopt;
}

void LiveEventSink::routeLocked(ScannerHandle handle, LiveEvent event) {
    if (const auto port = portOfLocked(handle)) {
        event.port = *port;
        postLocked(std::move(event));
    } else if (!closing_ && !opening_.empty()) {
        unclaimed_[handle].push_back(std::move(event));
    }
}

void LiveEventSink::scanned(ScannerHandle handle, const unsigned char* record, int length, bool deleted) {
    if (record == nullptr || length <= 0) return;
    LiveEvent event{deleted ? LiveEvent::Kind::Deleted : LiveEvent::Kind::Scan, 0, SDK_OK, {}};
    event.record.assign(record, record + length);
    const std::lock_guard lock(mutex_);
    routeLocked(handle, std::move(event));
}

void LiveEventSink::lost(ScannerHandle handle) {
    const std::lock_guard lock(mutex_);
    if (const auto found = ports_.find(handle); found != ports_.end()) {
        const unsigned port = found->second;
        ports_.erase(found);
        postLocked({LiveEvent::Kind::Lost, port, SDK_OK, {}});
        return;
    }
    // Lost before its open returned: the open that returns this handle reports the loss instead.
    if (!closing_ && !opening_.empty()) unclaimed_[handle].push_back({LiveEvent::Kind::Lost, 0, SDK_OK, {}});
}

void LiveEventSink::onScanData(ScannerHandle handle, const unsigned char* record, int length, int deleted) {
    if (auto* sink = instance_.load()) sink->scanned(handle, record, length, deleted != 0);
}

void LiveEventSink::onDisconnect(ScannerHandle handle) {
    if (auto* sink = instance_.load()) sink->lost(handle);
}

}  // namespace ztctl

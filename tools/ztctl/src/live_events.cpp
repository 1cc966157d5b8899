#include "live_events.h"

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
    opening_ = port;
    lostWhileOpening_ = false;
}

bool LiveEventSink::finishOpen(ScannerHandle handle) {
    const std::lock_guard lock(mutex_);
    const unsigned port = opening_.value_or(0);
    opening_.reset();
    if (lostWhileOpening_) return false;
    ports_[handle] = port;
    postLocked({LiveEvent::Kind::Opened, port, SDK_OK, {}});
    return true;
}

void LiveEventSink::failOpen(int error) {
    const std::lock_guard lock(mutex_);
    const unsigned port = opening_.value_or(0);
    opening_.reset();
    postLocked({LiveEvent::Kind::OpenFailed, port, error, {}});
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
    return opening_;
}

void LiveEventSink::scanned(ScannerHandle handle, const unsigned char* record, int length, bool deleted) {
    const std::lock_guard lock(mutex_);
    const auto port = portOfLocked(handle);
    if (!port || record == nullptr || length <= 0) return;
    LiveEvent event{deleted ? LiveEvent::Kind::Deleted : LiveEvent::Kind::Scan, *port, SDK_OK, {}};
    event.record.assign(record, record + length);
    postLocked(std::move(event));
}

void LiveEventSink::lost(ScannerHandle handle) {
    const std::lock_guard lock(mutex_);
    const auto port = portOfLocked(handle);
    if (!port) return;
    if (ports_.erase(handle) == 0) lostWhileOpening_ = true;
    postLocked({LiveEvent::Kind::Lost, *port, SDK_OK, {}});
}

void LiveEventSink::onScanData(ScannerHandle handle, const unsigned char* record, int length, int deleted) {
    if (auto* sink = instance_.load()) sink->scanned(handle, record, length, deleted != 0);
}

void LiveEventSink::onDisconnect(ScannerHandle handle) {
    if (auto* sink = instance_.load()) sink->lost(handle);
}

}  // namespace ztctl

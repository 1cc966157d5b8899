#include "live_events.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace ztctl {

LiveEventSink::LiveEventSink() {
    if (!route_.attached()) throw std::logic_error("a second live event sink");
}

LiveEventSink::~LiveEventSink() = default;

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
    opening_.begin(port);
}

bool LiveEventSink::finishOpen(unsigned port, ScannerHandle handle) {
    const std::lock_guard lock(mutex_);
    closed_.erase(handle);  // a new handle at the address of a closed one
    auto waiting = opening_.finish(port, handle);
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
    auto orphans = opening_.fail(port);
    postLocked({LiveEvent::Kind::OpenFailed, port, error, {}});
    // Every open has ended: what still waited came from opens that returned no handle. Their barcodes
    // are told as this port's rather than lost; a loss of a scanner that never opened means nothing.
    for (auto& event : orphans) {
        if (event.kind == LiveEvent::Kind::Lost) continue;
        event.port = port;
        postLocked(std::move(event));
    }
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
    if (const auto only = opening_.onlyOpen()) return only;
    if (opening_.running()) return std::nullopt;
    if (const auto found = closed_.find(handle); found != closed_.end()) return found->second;
    return std::nullopt;
}

void LiveEventSink::routeLocked(ScannerHandle handle, LiveEvent event) {
    if (const auto port = portOfLocked(handle)) {
        event.port = *port;
        postLocked(std::move(event));
    } else if (!closing_) {
        (void)opening_.keep(handle, std::move(event));  // dropped when no open runs: nobody's scanner
    }
}

void LiveEventSink::onScanData(ScannerHandle handle, const unsigned char* record, int length, int deleted) {
    if (record == nullptr || length <= 0) return;
    LiveEvent event{deleted != 0 ? LiveEvent::Kind::Deleted : LiveEvent::Kind::Scan, 0, SDK_OK, {}};
    event.record.assign(record, record + length);
    const std::lock_guard lock(mutex_);
    routeLocked(handle, std::move(event));
}

void LiveEventSink::onDisconnect(ScannerHandle handle) {
    const std::lock_guard lock(mutex_);
    if (const auto found = ports_.find(handle); found != ports_.end()) {
        const unsigned port = found->second;
        ports_.erase(found);
        postLocked({LiveEvent::Kind::Lost, port, SDK_OK, {}});
        return;
    }
    // Lost before its open returned: the open that returns this handle reports the loss instead.
    if (!closing_) (void)opening_.keep(handle, {LiveEvent::Kind::Lost, 0, SDK_OK, {}});
}

}  // namespace ztctl

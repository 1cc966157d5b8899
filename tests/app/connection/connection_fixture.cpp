#include "connection_fixture.h"

#include <QEvent>

#include <algorithm>
#include <cstdlib>
#include <thread>

namespace talvo::test {

ConnectionDelays fastDelays() {
    ConnectionDelays d;
    d.reconnect.afterDrop = 400ms;
    d.reconnect.afterLastOfMany = 1000ms;
    d.reconnect.retryDelay = 300ms;
    d.wakeSlack = 10ms;
    return d;
}

SimPorts::SimPorts() {
    char pattern[] = "/tmp/talvo-conn-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp");
    dir_ = pattern;
    ::setenv("ZT_PORT_DIR", dir_.c_str(), 1);
    sim_ = std::make_unique<zt::sim::Simulator>(dir_);
}

SimPorts::~SimPorts() {
    sim_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::vector<RecordedEvent> EventPage::events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

std::vector<DeviceEventKind> EventPage::kindsFor(const DeviceRecord* record) const {
    std::vector<DeviceEventKind> kinds;
    for (const auto& e : events())
        if (e.record == record) kinds.push_back(e.kind);
    return kinds;
}

int EventPage::count(DeviceEventKind kind, const DeviceRecord* record) const {
    const auto kinds = kindsFor(record);
    return static_cast<int>(std::count(kinds.begin(), kinds.end(), kind));
}

void EventPage::clear() {
    std::lock_guard lock(mutex_);
    events_.clear();
}

void EventPage::customEvent(QEvent* event) {
    auto* message = AppEvent::from(event);
    if (message == nullptr) return;
    if (message->message() == AppMessage::DeviceEvent) {
        const auto* info = message->payload<DeviceEventInfo>();
        std::lock_guard lock(mutex_);
        events_.push_back({static_cast<DeviceEventKind>(message->first()), argPointer<DeviceRecord>(message->second()),
                           info != nullptr ? *info : DeviceEventInfo{}, SteadyClock::now()});
        message->setResult(1);
    } else if (message->message() == AppMessage::GetManualTime && manualTime) {
        ++manualTimeRequests;
        if (auto* time = message->payload<ScannerTimeBytes>()) *time = *manualTime;
        message->setResult(1);
    }
}

SdkWatch* SdkWatch::current = nullptr;

namespace {
// Held by a disconnect callback for its whole run and by the watch's construction and end: the SDK's
// shutdown does not wait for a callback that is running, so a watch must not go while one uses it.
std::mutex& callbackGuard() {
    static std::mutex guard;
    return guard;
}
}  // namespace

SdkWatch::SdkWatch() {
    std::lock_guard guard(callbackGuard());
    current = this;
}
SdkWatch::~SdkWatch() {
    std::lock_guard guard(callbackGuard());
    current = nullptr;
}

SdkFunctions SdkWatch::functions() const {
    SdkFunctions f;
    f.initialize = &SdkWatch::initialize;
    f.deinitialize = &SdkWatch::deinitialize;
    return f;
}

std::vector<SdkWatch::Open> SdkWatch::opens(unsigned port) const {
    std::vector<Open> out;
    for (const auto& o : opens())
        if (o.port == port) out.push_back(o);
    return out;
}

std::vector<SdkWatch::Open> SdkWatch::opens() const {
    std::lock_guard lock(mutex);
    return opens_;
}

int SdkWatch::disconnectsReported() const {
    std::lock_guard lock(mutex);
    return disconnects_;
}

bool SdkWatch::waitForDisconnects(int count, Ms timeout) const {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, timeout, [&] { return disconnects_ >= count; });
}

ScannerHandle SdkWatch::initialize(unsigned port, int* error, DisconnectCallback onDisconnect,
                                   ScanDataCallback onScan) {
    SdkWatch* w = current;
    if (w->beforeOpen) w->beforeOpen(port);
    {
        std::lock_guard lock(w->mutex);
        w->forward_ = onDisconnect;
    }
    const auto at = SteadyClock::now();
    ScannerHandle handle = ztInitialize(port, error, &SdkWatch::disconnected, onScan);
    {
        std::lock_guard lock(w->mutex);
        w->opens_.push_back({port, *error, handle, at});
    }
    w->changed.notify_all();
    if (w->afterOpen) w->afterOpen(port, handle);
    return handle;
}

int SdkWatch::deinitialize(ScannerHandle handle, int all) {
    SdkWatch* w = current;
    if (all == 0 && w->beforeClose) w->beforeClose(handle);
    return ztDeinitialize(handle, all);
}

void SdkWatch::disconnected(ScannerHandle handle) {
    std::lock_guard guard(callbackGuard());
    SdkWatch* w = current;
    if (w == nullptr) return;
    DisconnectCallback forward = nullptr;
    {
        std::lock_guard lock(w->mutex);
        forward = w->forward_;
    }
    if (forward != nullptr) forward(handle);
    {
        std::lock_guard lock(w->mutex);
        ++w->disconnects_;
    }
    w->changed.notify_all();
}

std::unique_ptr<DeviceRecord> makeRecord(int port) {
    return std::make_unique<DeviceRecord>(port, L"ZT-550 " + std::to_wstring(port));
}

long long msSince(SteadyClock::time_point from, SteadyClock::time_point to) {
    return std::chrono::duration_cast<Ms>(to - from).count();
}

}  // namespace talvo::test

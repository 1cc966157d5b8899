#include "session/session_registry.h"

#include "trace.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace zt::sdk {

SessionRegistry& SessionRegistry::instance() {
    static SessionRegistry registry;
    return registry;
}

SessionRegistry::~SessionRegistry() { (void)shutdownAll(); }

void SessionRegistry::setTimings(const Timings& timings) {
    std::lock_guard lock(mutex_);
    timings_ = timings;
}

int SessionRegistry::admission(unsigned port) const {
    if (port > kMaxPort) return SDK_ERR_BAD_PORT;
    const bool listed = std::ranges::any_of(handles_, [&](const auto& h) { return h->port() == int(port); });
    return listed || openingPorts_.contains(int(port)) ? SDK_ERR_PORT_IN_USE : SDK_OK;
}

// Keeps a port counted as opening (in use, and keeping the dispatcher) until the open has finished.
class SessionRegistry::OpeningPort {
public:
    OpeningPort(SessionRegistry& registry, int port) : registry_(registry), port_(port) {
        registry_.openingPorts_.insert(port_);  // the caller holds the registry lock
    }
    ~OpeningPort() {
        std::lock_guard lock(registry_.mutex_);
        registry_.openingPorts_.erase(port_);
    }
    OpeningPort(const OpeningPort&) = delete;
    OpeningPort& operator=(const OpeningPort&) = delete;

private:
    SessionRegistry& registry_;
    int port_;
};

ZtScanner* SessionRegistry::initialize(unsigned port, int* error, DisconnectCallback onDisconnect,
                                       ScanDataCallback onScanData) {
    const std::string portName = "COM" + std::to_string(port);
    std::shared_ptr<ScannerHandle> handle;
    std::optional<OpeningPort> opening;
    std::uint64_t generation = 0;
    {
        std::lock_guard lock(mutex_);
        // The dispatcher runs before any port opens, so no event is posted before it can be received.
        if (!dispatcher_) dispatcher_ = std::make_unique<EventDispatcher>([this](Notification& n) { dispatch(n); });
        const int result = admission(port);
        if (result != SDK_OK || error == nullptr) {
            if (error != nullptr) *error = result;
            return nullptr;
        }
        handle = std::make_shared<ScannerHandle>(int(port), nextHandleId_++, *this, timings_);
        opening.emplace(*this, int(port));
        generation = shutdownGeneration_;
    }
    onDisconnect_.store(onDisconnect);
    onScanData_.store(onScanData);
    handle->engine().connect(portName);
    *error = list(handle, handle->engine().waitOpenFinished(), generation);
    if (*error != SDK_OK) {
        handle->teardown();
        return nullptr;
    }
    trace("%s open", portName.c_str());
    return handle.get();
}

// Lists a handle whose open finished with `outcome`; returns the open's result.
int SessionRegistry::list(const std::shared_ptr<ScannerHandle>& handle, int outcome, std::uint64_t generation) {
    std::lock_guard lock(mutex_);
    if (outcome != SDK_OK) return outcome;
    // A shutdown while this open ran has stopped the dispatcher: the handle would have nobody to report
    // to, so the open fails as cut short.
    if (generation != shutdownGeneration_) return SDK_ERR_ABORTED;
    // A loss reported before the handle is listed would find no handle to close, so the open fails
    // instead. (Reports are posted under this lock: a later one finds the listed handle.)
    if (handle->engine().link().portLost()) return SDK_ERR_PORT_LOST;
    handles_.push_back(handle);
    return SDK_OK;
}

int SessionRegistry::deinitialize(const ZtScanner* target, int shutdownAllFlag) {
    if (shutdownAllFlag != 0) return shutdownAll();
    auto handle = find(target);
    if (!handle) return SDK_ERR_UNKNOWN_HANDLE;
    if (handle->engine().disconnect() != SDK_OK) return SDK_ERR_NOT_CONNECTED;
    bool unlinked = false;
    {
        std::lock_guard lock(mutex_);
        unlinked = std::erase(handles_, handle) > 0;  // whoever unlinks a handle tears it down
    }
    if (unlinked) handle->teardown();
    auto idle = takeDispatcherIfIdle();
    idle.reset();  // joins the dispatcher thread, outside the registry lock
    return SDK_OK;
}

// The dispatcher stops with the last handle, unless another open is under way (its handle would lose its
// events) or the caller is a callback on the dispatcher thread (it cannot wait for itself).
std::unique_ptr<EventDispatcher> SessionRegistry::takeDispatcherIfIdle() {
    std::lock_guard lock(mutex_);
    if (!dispatcher_ || !handles_.empty() || !openingPorts_.empty() || dispatcher_->isDispatcherThread()) {
        return nullptr;
    }
    return std::move(dispatcher_);
}

int SessionRegistry::shutdownAll() {
    std::unique_ptr<EventDispatcher> dispatcher;
    std::list<std::shared_ptr<ScannerHandle>> handles;
    {
        std::lock_guard lock(mutex_);
        if (!dispatcher_) return SDK_SHUTDOWN_NOT_RUNNING;
        ++shutdownGeneration_;
        if (!dispatcher_->isDispatcherThread()) dispatcher = std::move(dispatcher_);
        handles.swap(handles_);
    }
    dispatcher.reset();  // pending notifications are dropped: no callback runs during the shutdown
    for (const auto& handle : handles) handle->teardown();
    return SDK_SHUTDOWN_DONE;
}

std::shared_ptr<ScannerHandle> SessionRegistry::find(const ZtScanner* target) const {
    if (target == nullptr) return nullptr;
    std::lock_guard lock(mutex_);
    const auto it = std::ranges::find_if(handles_, [&](const auto& h) { return h.get() == target; });
    return it == handles_.end() ? nullptr : *it;
}

std::shared_ptr<ScannerHandle> SessionRegistry::findByPort(int port, std::uint64_t id) const {
    std::lock_guard lock(mutex_);
    const auto it = std::ranges::find_if(handles_, [&](const auto& h) { return h->port() == port && h->id() == id; });
    return it == handles_.end() ? nullptr : *it;
}

void SessionRegistry::post(Notification notification) {
    std::lock_guard lock(mutex_);
    if (dispatcher_) dispatcher_->post(std::move(notification));
}

void SessionRegistry::dispatch(Notification& notification) {
    if (notification.kind == Notification::Kind::Disconnected) {
        handleDisconnected(notification);
    } else {
        deliverScan(notification);
    }
}

void SessionRegistry::deliverScan(const Notification& notification) {
    const auto handle = findByPort(notification.port, notification.handleId);
    const ScanDataCallback callback = onScanData_.load();
    if (!handle || callback == nullptr) return;
    const int deleted = notification.kind == Notification::Kind::DeletedData ? 1 : 0;
    callback(handle.get(), notification.record.data(), scanRecordLength(notification.record), deleted);
}

void SessionRegistry::handleDisconnected(const Notification& notification) {
    std::shared_ptr<ScannerHandle> handle;
    {
        std::lock_guard lock(mutex_);
        const auto it = std::ranges::find_if(handles_, [&](const auto& h) {
            return h->port() == notification.port && h->id() == notification.handleId;
        });
        if (it == handles_.end()) return;
        handle = *it;
        handles_.erase(it);  // unlinked first: a concurrent ztDeinitialize now gets -6, not a freed handle
    }
    trace("COM%d lost", notification.port);
    if (const DisconnectCallback callback = onDisconnect_.load(); callback != nullptr) callback(handle.get());
    handle->teardown();
}

}  // namespace zt::sdk

#include "session/session_registry.h"

#include "trace.h"

#include <algorithm>
#include <string>

namespace zt::sdk {

namespace {

// Shuts the SDK down when the statics are destroyed (exit(), or the end of main).
class ExitShutdown {
public:
    explicit ExitShutdown(SessionRegistry& registry) : registry_(registry) {}
    ~ExitShutdown() { registry_.shutdownAtExit(); }
    ExitShutdown(const ExitShutdown&) = delete;
    ExitShutdown& operator=(const ExitShutdown&) = delete;

private:
    SessionRegistry& registry_;
};

// Storage whose object is constructed and never destroyed.
union Undestroyed {
    SessionRegistry registry;
    Undestroyed() : registry() {}
    ~Undestroyed() {}  // NOLINT: deliberately leaves `registry` alive until the process ends
};

}  // namespace

SessionRegistry& SessionRegistry::instance() {
    static Undestroyed storage;
    static ExitShutdown atExit(storage.registry);
    return storage.registry;
}

SessionRegistry::~SessionRegistry() { (void)shutdown(false); }

void SessionRegistry::setTimings(const Timings& timings) {
    std::lock_guard lock(mutex_);
    timings_ = timings;
}

void SessionRegistry::setTransportOpener(TransportOpener opener) {
    std::lock_guard lock(mutex_);
    opener_ = std::move(opener);
}

void SessionRegistry::setHooks(RegistryHooks hooks) {
    std::lock_guard lock(mutex_);
    hooks_ = std::move(hooks);
}

std::size_t SessionRegistry::dispatcherThreads() const {
    std::lock_guard lock(mutex_);
    return retired_.size() + (dispatcher_ ? 1 : 0);
}

void SessionRegistry::joinRetiredDispatchers() {
    std::vector<DispatcherPtr> retired;
    {
        std::lock_guard lock(mutex_);
        retired = retired_;
    }
    for (const auto& d : retired) d->waitFinished();
    std::lock_guard lock(mutex_);
    (void)takeFinished();
}

SessionRegistry::Entry* SessionRegistry::entryById(std::uint64_t id) {
    const auto it = std::ranges::find_if(entries_, [&](const Entry& e) { return e.handle->id() == id; });
    return it == entries_.end() ? nullptr : &*it;
}

SessionRegistry::Entry* SessionRegistry::entryOf(const ZtScanner* handle) {
    const auto it = std::ranges::find_if(entries_, [&](const Entry& e) { return e.handle.get() == handle; });
    return it == entries_.end() ? nullptr : &*it;
}

void SessionRegistry::eraseEntry(const ZtScanner* handle) {
    std::erase_if(entries_, [&](const Entry& e) { return e.handle.get() == handle; });
    unlisted_.notify_all();
}

int SessionRegistry::admission(unsigned port) const {
    if (port > kMaxPort) return SDK_ERR_BAD_PORT;
    // Opening and closing handles still own their port.
    const bool used = std::ranges::any_of(entries_, [&](const Entry& e) { return e.handle->port() == int(port); });
    return used ? SDK_ERR_PORT_IN_USE : SDK_OK;
}

SessionRegistry::DispatcherPtr SessionRegistry::newDispatcher(std::deque<Notification> backlog) {
    return std::make_shared<EventDispatcher>([this](Notification& n) { dispatch(n); }, std::move(backlog));
}

SessionRegistry::DispatcherPtr SessionRegistry::stopDispatcher(DispatcherPtr dispatcher) {
    if (!dispatcher) return nullptr;
    dispatcher->stop();
    if (dispatcher->inCallback() || dispatcher->isThisThread()) {
        retired_.push_back(std::move(dispatcher));
        return nullptr;
    }
    return dispatcher;
}

std::vector<SessionRegistry::DispatcherPtr> SessionRegistry::takeFinished() {
    std::vector<DispatcherPtr> finished;
    std::erase_if(retired_, [&](const DispatcherPtr& d) {
        if (!d->finished() || d->isThisThread()) return false;
        finished.push_back(d);
        return true;
    });
    return finished;  // joined (at once) when the caller drops them outside the lock
}

// Removes the entry of an open that did not list its handle, whatever way the open ends. Its held
// events are dropped with it: the application never saw the handle.
class SessionRegistry::OpeningGuard {
public:
    OpeningGuard(SessionRegistry& registry, const ZtScanner* handle) : registry_(registry), handle_(handle) {}
    ~OpeningGuard() {
        std::lock_guard lock(registry_.mutex_);
        if (Entry* e = registry_.entryOf(handle_); e != nullptr && e->state == Entry::State::Opening) {
            registry_.eraseEntry(handle_);
        }
    }
    OpeningGuard(const OpeningGuard&) = delete;
    OpeningGuard& operator=(const OpeningGuard&) = delete;

private:
    SessionRegistry& registry_;
    const ZtScanner* handle_;
};

ZtScanner* SessionRegistry::initialize(unsigned port, int* error, DisconnectCallback onDisconnect,
                                       ScanDataCallback onScanData) {
    const std::string portName = "COM" + std::to_string(port);
    std::shared_ptr<ScannerHandle> handle;
    std::uint64_t generation = 0;
    std::vector<DispatcherPtr> finished;
    RegistryHooks hooks;
    {
        std::lock_guard lock(mutex_);
        finished = takeFinished();
        // The dispatcher runs before any port opens, so no event is posted before it can be received.
        if (!dispatcher_) dispatcher_ = newDispatcher();
        const int result = admission(port);
        if (result != SDK_OK || error == nullptr) {
            if (error != nullptr) *error = result;
            return nullptr;
        }
        handle = std::make_shared<ScannerHandle>(int(port), nextHandleId_++, *this, timings_,
                                                 opener_ ? opener_ : ttyOpener());
        entries_.push_back({handle, Entry::State::Opening, {}});
        generation = shutdownGeneration_;
        hooks = hooks_;
    }
    finished.clear();
    const OpeningGuard opening(*this, handle.get());
    onDisconnect_.store(onDisconnect);
    onScanData_.store(onScanData);
    handle->engine().connect(portName);
    const int outcome = handle->engine().waitOpenFinished();
    if (outcome == SDK_OK && hooks.beforeListing) hooks.beforeListing(handle.get());
    *error = list(*handle, outcome, generation);
    if (*error != SDK_OK) {
        handle->teardown();
        return nullptr;
    }
    trace("%s open", portName.c_str());
    return handle.get();
}

// Lists a handle whose open finished with `outcome` and hands its held events to the dispatcher; returns
// the open's result. This is the last thing ztInitialize does with the handle: none of its callbacks can
// start before, so ztInitialize never returns a handle that its DisconnectCallback has already freed.
int SessionRegistry::list(const ScannerHandle& handle, int outcome, std::uint64_t generation) {
    std::lock_guard lock(mutex_);
    // A shutdown while this open ran has stopped the dispatcher and torn the handle down: the open
    // fails as cut short.
    if (generation != shutdownGeneration_) return SDK_ERR_ABORTED;
    if (outcome != SDK_OK) return outcome;
    Entry* entry = entryOf(&handle);
    if (entry == nullptr) return SDK_ERR_ABORTED;
    entry->state = Entry::State::Listed;
    for (Notification& n : entry->held) route(std::move(n));
    entry->held.clear();
    return SDK_OK;
}

int SessionRegistry::deinitialize(const ZtScanner* target, int shutdownAllFlag) {
    if (shutdownAllFlag != 0) return shutdown(false);
    auto handle = find(target);
    if (!handle) return SDK_ERR_UNKNOWN_HANDLE;
    if (handle->engine().disconnect() != SDK_OK) return SDK_ERR_NOT_CONNECTED;
    {
        std::lock_guard lock(mutex_);
        Entry* entry = entryOf(target);
        // Lost or shut down meanwhile: that path closes it (and reports the loss).
        if (entry == nullptr || entry->state != Entry::State::Listed) return SDK_ERR_UNKNOWN_HANDLE;
        entry->state = Entry::State::Closing;
    }
    handle->teardown();  // the handle posts nothing after this
    // A callback cannot wait for its own dispatcher: from a callback, queued events of the handle are dropped.
    if (!EventDispatcher::onDispatcherThread()) deliverRemaining(*handle);
    DispatcherPtr stopped;
    std::vector<DispatcherPtr> finished;
    {
        std::lock_guard lock(mutex_);
        eraseEntry(target);
        // The dispatcher stops with the last handle (an open under way keeps it: its handle needs it).
        if (entries_.empty()) stopped = stopDispatcher(std::move(dispatcher_));
        finished = takeFinished();
    }
    if (stopped) stopped->join();
    return SDK_OK;
}

// Waits until the events of a closing handle that were queued have been delivered and no callback for it
// runs. It never waits behind another handle's callback: a dispatcher inside one hands the queue over
// to a new dispatcher thread (keeping that handle's own events), which delivers this handle's first.
void SessionRegistry::deliverRemaining(const ScannerHandle& handle) {
    std::vector<DispatcherPtr> dispatchers;
    RegistryHooks hooks;
    {
        std::lock_guard lock(mutex_);
        if (dispatcher_) {
            dispatcher_->prioritize(handle.id());
            if (dispatcher_->busyWithOtherThan(handle.id())) {
                auto backlog = dispatcher_->handOver();
                retired_.push_back(std::exchange(dispatcher_, newDispatcher(std::move(backlog))));
            }
            dispatchers.push_back(dispatcher_);
        }
        dispatchers.insert(dispatchers.end(), retired_.begin(), retired_.end());
        hooks = hooks_;
    }
    if (hooks.closeWaiting) hooks.closeWaiting(&handle);
    for (const auto& d : dispatchers) d->waitUntilDelivered(handle.id());
}

int SessionRegistry::shutdown(bool atExit) {
    std::vector<DispatcherPtr> stopped;
    std::vector<std::shared_ptr<ScannerHandle>> handles;
    bool running = false;
    {
        std::lock_guard lock(mutex_);
        running = dispatcher_ != nullptr;
        if (running) {
            ++shutdownGeneration_;
            // Opening handles are torn down too, which cuts their open short at once; their ztInitialize,
            // and the ztDeinitialize of closing ones, remove their own entries.
            for (const Entry& e : entries_) handles.push_back(e.handle);
            std::erase_if(entries_, [](const Entry& e) { return e.state == Entry::State::Listed; });
            unlisted_.notify_all();
        }
        // No callback starts after this: queued events are dropped, and a dispatcher inside a callback
        // is left to finish it and joined later, never waited for here.
        if (auto d = stopDispatcher(std::move(dispatcher_))) stopped.push_back(std::move(d));
        for (auto& d : std::exchange(retired_, {})) {
            if (auto s = stopDispatcher(std::move(d))) stopped.push_back(std::move(s));
        }
        if (atExit) {
            // A handle whose command thread called exit() (from a progress callback) cannot join it.
            std::erase_if(handles, [&](const auto& h) {
                if (!h->engine().isCommandThread()) return false;
                parked_.push_back(h);
                return true;
            });
        }
    }
    for (const auto& d : stopped) d->join();
    for (const auto& h : handles) h->teardown();
    return running ? SDK_SHUTDOWN_DONE : SDK_SHUTDOWN_NOT_RUNNING;
}

void SessionRegistry::shutdownAtExit() {
    (void)shutdown(true);
    // Typically a loss callback that has just told the main thread that the last scanner is gone and is
    // returning, or the teardown of that handle after it: wait for it, so that no thread outlives the
    // SDK's statics unjoined. A callback may also wait for this thread; the close wait bounds that.
    std::vector<DispatcherPtr> lingering;
    std::chrono::milliseconds grace{};
    std::function<void()> exitWaiting;
    {
        std::lock_guard lock(mutex_);
        for (const auto& d : retired_) {
            if (!d->isThisThread()) lingering.push_back(d);
        }
        grace = timings_.closeWait;
        exitWaiting = hooks_.exitWaiting;
    }
    if (lingering.empty()) return;
    if (exitWaiting) exitWaiting();
    const auto deadline = std::chrono::steady_clock::now() + grace;
    std::vector<DispatcherPtr> ended;
    for (const auto& d : lingering) {
        if (d->waitFinishedUntil(deadline)) ended.push_back(d);
    }
    {
        std::lock_guard lock(mutex_);
        std::erase_if(retired_, [&](const DispatcherPtr& d) { return std::ranges::find(ended, d) != ended.end(); });
    }
    for (const auto& d : ended) d->join();
}

bool SessionRegistry::waitUnlisted(const ZtScanner* handle, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return unlisted_.wait_for(lock, timeout, [&] {
        return std::none_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.handle.get() == handle; });
    });
}

std::shared_ptr<ScannerHandle> SessionRegistry::find(const ZtScanner* target) const {
    if (target == nullptr) return nullptr;
    std::lock_guard lock(mutex_);
    const auto it = std::ranges::find_if(
        entries_, [&](const Entry& e) { return e.handle.get() == target && e.state == Entry::State::Listed; });
    return it == entries_.end() ? nullptr : it->handle;
}

// Posted by the handles' threads. Events of an opening handle are held until it is listed; events of a
// handle that is gone are dropped.
void SessionRegistry::post(Notification notification) {
    std::lock_guard lock(mutex_);
    Entry* entry = entryById(notification.handleId);
    if (entry == nullptr) return;
    if (entry->state == Entry::State::Opening) {
        if (hooks_.eventHeld) hooks_.eventHeld(notification);
        entry->held.push_back(std::move(notification));
        return;
    }
    route(std::move(notification));
}

// A retired dispatcher that still delivers events of this handle takes the event, so that one handle's
// callbacks keep their order and never overlap; otherwise the current dispatcher does.
void SessionRegistry::route(Notification&& notification) {
    for (const auto& d : retired_) {
        if (d->post(std::move(notification))) return;
    }
    if (dispatcher_) (void)dispatcher_->post(std::move(notification));
}

void SessionRegistry::dispatch(Notification& notification) {
    if (notification.kind == Notification::Kind::Disconnected) {
        handleDisconnected(notification);
    } else {
        deliverScan(notification);
    }
}

void SessionRegistry::deliverScan(const Notification& notification) {
    std::shared_ptr<ScannerHandle> handle;
    {
        std::lock_guard lock(mutex_);
        const Entry* entry = entryById(notification.handleId);
        if (entry == nullptr || entry->state == Entry::State::Opening) return;
        handle = entry->handle;
    }
    const ScanDataCallback callback = onScanData_.load();
    if (callback == nullptr) return;
    const int deleted = notification.kind == Notification::Kind::DeletedData ? 1 : 0;
    callback(handle.get(), notification.record.data(), scanRecordLength(notification.record), deleted);
}

void SessionRegistry::handleDisconnected(const Notification& notification) {
    std::shared_ptr<ScannerHandle> handle;
    {
        std::lock_guard lock(mutex_);
        Entry* entry = entryById(notification.handleId);
        // A closing handle is being closed by ztDeinitialize, which owns its teardown.
        if (entry == nullptr || entry->state != Entry::State::Listed) return;
        handle = entry->handle;
        eraseEntry(handle.get());  // unlinked first: a concurrent ztDeinitialize now gets -6, not a freed handle
    }
    trace("COM%d lost", notification.port);
    if (const DisconnectCallback callback = onDisconnect_.load(); callback != nullptr) callback(handle.get());
    handle->teardown();
}

}  // namespace zt::sdk

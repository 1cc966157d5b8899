// Process-wide state of the SDK: the open handles, the event dispatcher and the application callbacks.
//
// Every handle goes through Opening (inside ztInitialize: its events are held), Listed (operations find
// it; its events are delivered) and Closing (inside ztDeinitialize: operations no longer find it, its
// queued events are still delivered), and is then forgotten: an event posted after that is dropped.
#pragma once

#include "engine/timings.h"
#include "session/event_dispatcher.h"
#include "session/notification_sink.h"
#include "session/scanner_handle.h"
#include "zt330sdk.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <vector>

namespace zt::sdk {

// Points where internal tests stop the SDK to set up a race deterministically. They run outside every
// lock unless said otherwise.
struct RegistryHooks {
    // Inside ztInitialize, after a successful handshake and before the handle is listed.
    std::function<void(const ZtScanner*)> beforeListing;
    // Inside ztDeinitialize(h, 0), when it starts waiting for the callbacks of h.
    std::function<void(const ZtScanner*)> closeWaiting;
    // An event of an opening handle was held. Runs under the registry lock: it must not call the SDK.
    std::function<void(const Notification&)> eventHeld;
    // At the process's end, when it starts waiting for retired dispatcher threads still inside a callback.
    std::function<void()> exitWaiting;
};

class SessionRegistry final : public NotificationSink {
public:
    static constexpr unsigned kMaxPort = 100;

    // The process's registry. It is never destroyed: at the process's end a thread may still be inside a
    // callback, or be the very thread that called exit(), and neither can be joined. Instead, a guard
    // destroyed with the other statics shuts the SDK down and joins every thread that can be joined.
    static SessionRegistry& instance();

    SessionRegistry() = default;
    ~SessionRegistry();  // shuts down like ztDeinitialize with the shutdown flag
    SessionRegistry(const SessionRegistry&) = delete;
    SessionRegistry& operator=(const SessionRegistry&) = delete;

    [[nodiscard]] ZtScanner* initialize(unsigned port, int* error, DisconnectCallback onDisconnect,
                                        ScanDataCallback onScanData);
    [[nodiscard]] int deinitialize(const ZtScanner* handle, int shutdownAll);

    // The listed handle behind `handle`, kept alive while the caller holds it; null when not listed.
    [[nodiscard]] std::shared_ptr<ScannerHandle> find(const ZtScanner* handle) const;

    void post(Notification notification) override;

    // Internal tests run the engine with shorter waits; affects handles opened afterwards.
    void setTimings(const Timings& timings);
    void setHooks(RegistryHooks hooks);
    // Internal tests open ports through another transport (empty: the tty); affects handles opened afterwards.
    void setTransportOpener(TransportOpener opener);
    // Dispatcher threads not yet joined (the current one and retired ones still running or unjoined).
    [[nodiscard]] std::size_t dispatcherThreads() const;
    // Waits until every retired dispatcher thread has ended, and joins them (tests).
    void joinRetiredDispatchers();
    // Waits until `handle` is no longer listed, for at most `timeout` (tests): whether it is gone.
    [[nodiscard]] bool waitUnlisted(const ZtScanner* handle, std::chrono::milliseconds timeout) const;

    // The process ends: like the shutdown, then a dispatcher thread still inside a callback gets the close
    // wait to finish it and is joined; one that takes longer (it may wait for this very thread), and what
    // cannot be joined from this thread, is left to end with the process.
    void shutdownAtExit();

private:
    struct Entry {
        enum class State { Opening, Listed, Closing };
        std::shared_ptr<ScannerHandle> handle;
        State state = State::Opening;
        std::vector<Notification> held;  // events of an opening handle, delivered once it is listed
    };
    class OpeningGuard;
    using DispatcherPtr = std::shared_ptr<EventDispatcher>;

    [[nodiscard]] int admission(unsigned port) const;
    [[nodiscard]] int list(const ScannerHandle& handle, int outcome, std::uint64_t generation);
    void deliverRemaining(const ScannerHandle& handle);
    void dispatch(Notification& notification);
    void deliverScan(const Notification& notification);
    void handleDisconnected(const Notification& notification);
    [[nodiscard]] int shutdown(bool atExit);

    // The caller holds the registry lock for these.
    [[nodiscard]] Entry* entryById(std::uint64_t id);
    [[nodiscard]] Entry* entryOf(const ZtScanner* handle);
    void eraseEntry(const ZtScanner* handle);
    void route(Notification&& notification);
    [[nodiscard]] DispatcherPtr newDispatcher(std::deque<Notification> backlog = {});
    // Stops `dispatcher`: a thread that is inside a callback, or is the caller, is kept among the retired
    // to be joined later; any other is returned to be joined outside the lock.
    [[nodiscard]] DispatcherPtr stopDispatcher(DispatcherPtr dispatcher);
    [[nodiscard]] std::vector<DispatcherPtr> takeFinished();

    mutable std::mutex mutex_;                  // the registry lock
    mutable std::condition_variable unlisted_;  // an entry left the list
    std::list<Entry> entries_;                  // in the order of opening
    std::uint64_t shutdownGeneration_ = 0;      // a shutdown during an open makes that open fail
    DispatcherPtr dispatcher_;
    std::vector<DispatcherPtr> retired_;                  // stopped or handed over while inside a callback
    std::vector<std::shared_ptr<ScannerHandle>> parked_;  // at exit: handles whose thread called exit()
    std::uint64_t nextHandleId_ = 1;
    Timings timings_;
    TransportOpener opener_;
    RegistryHooks hooks_;

    std::atomic<DisconnectCallback> onDisconnect_{nullptr};
    std::atomic<ScanDataCallback> onScanData_{nullptr};
};

}  // namespace zt::sdk

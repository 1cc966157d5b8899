// Process-wide state of the SDK: the open handles, the event dispatcher and the application callbacks.
#pragma once

#include "engine/timings.h"
#include "session/event_dispatcher.h"
#include "session/notification_sink.h"
#include "session/scanner_handle.h"
#include "zt330sdk.h"

#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <set>

namespace zt::sdk {

class SessionRegistry final : public NotificationSink {
public:
    static constexpr unsigned kMaxPort = 100;

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

private:
    class OpeningPort;

    [[nodiscard]] int admission(unsigned port) const;
    [[nodiscard]] int list(const std::shared_ptr<ScannerHandle>& handle, int outcome, std::uint64_t generation);
    void dispatch(Notification& notification);
    void deliverScan(const Notification& notification);
    void handleDisconnected(const Notification& notification);
    [[nodiscard]] std::shared_ptr<ScannerHandle> findByPort(int port, std::uint64_t id) const;
    [[nodiscard]] std::unique_ptr<EventDispatcher> takeDispatcherIfIdle();
    [[nodiscard]] int shutdownAll();

    mutable std::mutex mutex_;  // the registry lock
    std::list<std::shared_ptr<ScannerHandle>> handles_;
    std::set<int> openingPorts_;          // ztInitialize calls between their checks and the listing
    std::uint64_t shutdownGeneration_ = 0;  // a shutdown during an open makes that open fail
    std::unique_ptr<EventDispatcher> dispatcher_;
    std::uint64_t nextHandleId_ = 1;
    Timings timings_;

    std::atomic<DisconnectCallback> onDisconnect_{nullptr};
    std::atomic<ScanDataCallback> onScanData_{nullptr};
};

}  // namespace zt::sdk

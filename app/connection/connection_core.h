// The state the connection manager shares between its three threads: the queue (queue lock), the
// connected list (list lock, always taken after the queue lock), the retired records and the attempt
// in progress. The user-interface thread files requests, the worker runs them, the SDK's dispatcher
// reports drops. Events go to the pages as posted messages only; no lock is held while waiting for
// another thread.
#pragma once

#include "connection/connect_queue.h"
#include "connection/connected_list.h"
#include "connection/connection_manager.h"
#include "connection/tick.h"
#include "connection/wake_event.h"
#include "zt/client/opening_scanners.h"

#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <unordered_set>
#include <vector>

namespace talvo {

// How one run of a queue entry ended.
enum class AttemptOutcome { Postpone, AlreadyConnected, Failed, Connected, Dropped, Closed };

class ConnectionCore {
public:
    ConnectionCore(PageReceivers receivers, ConnectionInputs inputs, ConnectionDelays delays, SdkFunctions sdk);

    // User-interface thread.
    void requestConnect(DeviceRecord& record);
    void requestDisconnect(DeviceRecord& record);
    void retire(std::unique_ptr<DeviceRecord> record);

    // Any thread.
    [[nodiscard]] int getConnected(DeviceRecord** out, int capacity) const;
    [[nodiscard]] std::optional<std::wstring> connectedName(ScannerHandle handle) const;
    void setScanDataHandler(ScanDataHandler handler);

    // Worker thread.
    [[nodiscard]] std::optional<QueueEntry> takeFront();
    [[nodiscard]] AttemptOutcome run(const QueueEntry& entry, std::stop_token stop);
    void postpone(const QueueEntry& entry);
    [[nodiscard]] std::optional<Tick> frontDue() const;
    [[nodiscard]] WakeEvent& wakeEvent() { return wake_; }
    [[nodiscard]] Tick now() const { return clock_.now(); }
    [[nodiscard]] const ConnectionDelays& delays() const { return delays_; }
    [[nodiscard]] const SdkFunctions& sdk() const { return sdk_; }

    // SDK dispatcher.
    void onDisconnect(ScannerHandle handle);
    void onScanData(ScannerHandle handle, const unsigned char* record, int length, int deleted);

    // Shutdown, after the worker ended: forgets the queue, the list and the retired records.
    void clear();

private:
    [[nodiscard]] AttemptOutcome connectAttempt(DeviceRecord& record, std::stop_token stop);
    [[nodiscard]] AttemptOutcome closeConnection(DeviceRecord& record);
    [[nodiscard]] AttemptOutcome failedAttempt(DeviceRecord& record);
    [[nodiscard]] AttemptOutcome listConnected(DeviceRecord& record, ScannerHandle handle);
    void setClock(const DeviceRecord& record, ScannerHandle handle, std::stop_token stop);
    void announceConnected(DeviceRecord& record, ScannerHandle handle);
    // Both locks held: the record's connection was lost; announce it and schedule the reconnect.
    void dropped(DeviceRecord& record, int listedCount);
    void post(QObject* page, DeviceEventKind kind, const DeviceRecord& record) const;
    [[nodiscard]] bool isRetired(const DeviceRecord* record) const;  // queue lock held
    [[nodiscard]] int connectRetry() const;
    [[nodiscard]] bool timeSync() const;
    [[nodiscard]] int listedCount() const;

    const PageReceivers receivers_;
    const ConnectionInputs inputs_;
    const ConnectionDelays delays_;
    const SdkFunctions sdk_;
    const TickClock clock_;
    WakeEvent wake_;

    mutable std::mutex queueLock_;
    ConnectQueue queue_;
    std::vector<std::unique_ptr<DeviceRecord>> retired_;
    std::unordered_set<const DeviceRecord*> retiredSet_;

    mutable std::mutex listLock_;
    ConnectedList connected_;
    // While an open runs: handles reported lost that were not listed yet; the open that returns one of
    // them treats its connection as dropped at once.
    struct ScannerLost {};
    zt::client::OpeningScanners<ScannerLost> opening_;

    mutable std::mutex handlerLock_;
    std::shared_ptr<const ScanDataHandler> scanHandler_;
};

}  // namespace talvo

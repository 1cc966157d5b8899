// The connection manager of the main sheet: connects and disconnects scanners on request, on a worker
// thread of its own, in the order of their due times; retries failed attempts; sets each newly
// connected scanner's clock; reconnects a scanner that the SDK reports lost; and announces every state
// change to the pages as a posted MsgDeviceEvent (first argument DeviceEventKind, second the record,
// payload DeviceEventInfo).
//
// Threads: requests come from the user-interface thread; the worker runs every SDK open and close; the
// SDK's dispatcher runs the disconnect and data callbacks. None of them ever waits for the
// user-interface thread while holding a lock, and the callbacks never wait for it at all.
//
// Records belong to the Connect page. The manager keeps pointers to them; a record that the page takes
// out of its list is handed over with retire(), never deleted while the manager runs.
#pragma once

#include "connection/connection_delays.h"
#include "connection/device_state.h"
#include "connection/sdk_functions.h"
#include "ztdevsearch.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QObject;

namespace talvo {

// The pages that receive MsgDeviceEvent, and where notices go; any may be null. They must outlive the
// manager's shutdown().
struct PageReceivers {
    QObject* connectPage = nullptr;
    QObject* downloadPage = nullptr;
    QObject* settingPage = nullptr;  // also answers MsgGetManualTime
    QObject* configurePage = nullptr;
    QObject* notices = nullptr;  // MsgSetNoticeText: a scanner's clock could not be set
};

// What the manager reads from the rest of the program. Each is called from the worker or the SDK's
// dispatcher: it must be thread-safe and must not block (read an atomic). An empty function reads as
// the default in brackets.
struct ConnectionInputs {
    std::function<int()> connectRetry;       // "ConnectRetry" [3]
    std::function<bool()> timeSync;          // "TimeSync": true sets the clock from this machine [true]
    std::function<int()> listedDeviceCount;  // rows of the Connect page [0]
};

// The data callback's work (live barcodes, deleted-data reports). Runs on the SDK's dispatcher; must
// not block and must not call the SDK.
using ScanDataHandler = std::function<void(ScannerHandle handle, const unsigned char* record, int length, int deleted)>;

class ConnectionManager {
public:
    // The most records one MsgGetConnected hands out.
    static constexpr int kMaxConnectedPerRequest = 16;

    // Starts the worker and makes this the manager that the SDK callbacks reach (one at a time).
    ConnectionManager(PageReceivers receivers, ConnectionInputs inputs,
                      ConnectionDelays delays = ConnectionDelays::shipped(), SdkFunctions sdk = {});
    ~ConnectionManager();  // shutdown()
    ConnectionManager(const ConnectionManager&) = delete;
    ConnectionManager& operator=(const ConnectionManager&) = delete;

    // Replaces the data callback's work; safe at any time.
    void setScanDataHandler(ScanDataHandler handler);

    // MsgConnectRequest: kind 0 connect, 1 disconnect; returns 1. User-interface thread.
    int connectRequest(int kind, DeviceRecord* record);
    // Queues a connect attempt (state "Connecting...") and returns at once.
    void requestConnect(DeviceRecord& record);
    // Queues closing the record's connection ahead of every connect attempt and returns at once; the
    // worker closes it and, on success, announces "Disconnected". A failed close changes nothing.
    void requestDisconnect(DeviceRecord& record);

    // MsgGetConnected: copies up to `capacity` of the connected records, newest first, into `out`;
    // returns how many. A page may use them until the next MsgDeviceEvent kind 1 for the record.
    [[nodiscard]] int getConnected(DeviceRecord** out, int capacity) const;
    [[nodiscard]] std::vector<DeviceRecord*> connected(int capacity = kMaxConnectedPerRequest) const;
    // The name of the connected scanner behind `handle` (for the data callback).
    [[nodiscard]] std::optional<std::wstring> connectedName(ScannerHandle handle) const;

    // The Connect page removed the record's row: it is withdrawn from the queue, never connected
    // again, its connection (if any, also one the worker is opening right now) is closed, and it is
    // kept until shutdown() so that no thread is left holding a dangling pointer.
    void retire(std::unique_ptr<DeviceRecord> record);

    // The orderly end: blocked sends give up, the worker stops, every SDK connection is closed
    // (ztDeinitialize(0, 1)), callbacks in progress finish, the queue and the list are emptied and the
    // retired records released. Idempotent. User-interface thread.
    void shutdown();

    class Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace talvo

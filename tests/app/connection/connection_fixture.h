// Helpers of the connection tests: simulated scanners in a private port folder, pages that record the
// events they receive, settings the test turns, and a watch on the SDK calls the manager makes.
#pragma once

#include "connection/connection_manager.h"
#include "connection/device_state.h"
#include "connection/record_fields.h"
#include "connection/scanner_clock.h"
#include "messages/app_messages.h"
#include "zt/sim/simulator.h"

#include <QObject>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace talvo::test {

using namespace std::chrono_literals;
using Ms = std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;

// Reconnect delays short enough for the suite, long enough to tell apart.
[[nodiscard]] ConnectionDelays fastDelays();

// A private folder of COM links, named by ZT_PORT_DIR, with a simulator; removed at the end.
class SimPorts {
public:
    SimPorts();
    ~SimPorts();
    SimPorts(const SimPorts&) = delete;
    SimPorts& operator=(const SimPorts&) = delete;
    zt::sim::SimScanner& add(int port) { return sim_->addScanner(port); }
    zt::sim::SimScanner& scanner(int port) { return sim_->scanner(port); }
    [[nodiscard]] const std::filesystem::path& dir() const { return dir_; }

private:
    std::filesystem::path dir_;
    std::unique_ptr<zt::sim::Simulator> sim_;
};

struct RecordedEvent {
    DeviceEventKind kind;
    const DeviceRecord* record;
    DeviceEventInfo info;
    SteadyClock::time_point at;
};

// A page: records every MsgDeviceEvent; answers MsgGetManualTime with `manualTime` when set.
class EventPage : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    [[nodiscard]] std::vector<RecordedEvent> events() const;
    [[nodiscard]] std::vector<DeviceEventKind> kindsFor(const DeviceRecord* record) const;
    [[nodiscard]] int count(DeviceEventKind kind, const DeviceRecord* record) const;
    void clear();
    std::optional<ScannerTimeBytes> manualTime;
    int manualTimeRequests = 0;

protected:
    void customEvent(QEvent* event) override;

private:
    mutable std::mutex mutex_;
    std::vector<RecordedEvent> events_;
};

// The settings and the row count the manager reads, as atomics the test turns.
struct TestInputs {
    std::atomic<int> connectRetry{3};
    std::atomic<bool> timeSync{true};
    std::atomic<int> listed{0};
    [[nodiscard]] ConnectionInputs inputs() {
        return {[this] { return connectRetry.load(); }, [this] { return timeSync.load(); },
                [this] { return listed.load(); }};
    }
};

// Watches the SDK calls: every ztInitialize with its port and time, and lets a test run code right
// after an open returns (on the worker) or when a close starts. Process-wide, like the callbacks.
class SdkWatch {
public:
    struct Open {
        unsigned port;
        int error;
        ScannerHandle handle;
        SteadyClock::time_point at;
    };
    SdkWatch();
    ~SdkWatch();
    [[nodiscard]] SdkFunctions functions() const;
    [[nodiscard]] std::vector<Open> opens(unsigned port) const;
    [[nodiscard]] std::vector<Open> opens() const;
    [[nodiscard]] int disconnectsReported() const;

    // Runs on the worker before the real ztInitialize, and right after it returned.
    std::function<void(unsigned port)> beforeOpen;
    std::function<void(unsigned port, ScannerHandle handle)> afterOpen;
    // Runs on the worker before the real ztDeinitialize(handle, 0).
    std::function<void(ScannerHandle handle)> beforeClose;

    // Waits (without the Qt event loop) until the SDK reported `count` lost handles.
    [[nodiscard]] bool waitForDisconnects(int count, Ms timeout) const;

    static SdkWatch* current;
    static ScannerHandle initialize(unsigned port, int* error, DisconnectCallback onDisconnect,
                                    ScanDataCallback onScan);
    static int deinitialize(ScannerHandle handle, int all);
    static void disconnected(ScannerHandle handle);

    mutable std::mutex mutex;
    mutable std::condition_variable_any changed;
    std::vector<Open> opens_;
    int disconnects_ = 0;
    DisconnectCallback forward_ = nullptr;
};

// Records owned by the test, one per port, named "ZT-550 <port>".
[[nodiscard]] std::unique_ptr<DeviceRecord> makeRecord(int port);

[[nodiscard]] long long msSince(SteadyClock::time_point from, SteadyClock::time_point to);

}  // namespace talvo::test

// One open scanner: its command engine, the codec of every command family, and the busy lock that lets
// one exported operation at a time run on it.
#pragma once

#include "codecs/collect_codec.h"
#include "codecs/config_codec.h"
#include "codecs/symbology_codec.h"
#include "codecs/text_codec.h"
#include "codecs/value_codecs.h"
#include "engine/command_engine.h"
#include "engine/timings.h"
#include "link/link_observer.h"
#include "session/busy_lock.h"
#include "session/notification_sink.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

// The type behind the public ScannerHandle pointer.
struct ZtScanner {};

namespace zt::sdk {

class ScannerHandle final : public ZtScanner, private LinkObserver {
public:
    ScannerHandle(int port, std::uint64_t id, NotificationSink& sink, const Timings& timings,
                  TransportOpener opener = ttyOpener());
    ~ScannerHandle();
    ScannerHandle(const ScannerHandle&) = delete;
    ScannerHandle& operator=(const ScannerHandle&) = delete;

    [[nodiscard]] int port() const { return port_; }
    [[nodiscard]] std::uint64_t id() const { return id_; }
    [[nodiscard]] CommandEngine& engine() { return *engine_; }

    // The busy lock, tried for 1 ms; empty when another operation holds it.
    [[nodiscard]] std::unique_lock<BusyLock> tryLockBusy();

    // Aborts a running exchange, waits until no operation runs on the handle, stops the engine's threads
    // and closes the port. Idempotent. The object stays valid (its operations fail) until it is freed.
    void teardown();
    [[nodiscard]] bool isTornDown() const { return tornDown_.load(); }

    // The codec of every command family, created with the handle and reused by every call.
    ScanModeCodec& scanModeCodec() { return scanMode_; }
    BuzzerCodec& buzzerCodec() { return buzzer_; }
    BatteryCodec& batteryCodec() { return battery_; }
    StorageCodec& storageCodec() { return storage_; }
    TimeCodec& timeCodec() { return time_; }
    AffixCodec& affixCodec() { return affix_; }
    SymbologyCodec& symbologyCodec() { return symbology_; }
    ConfigCodec& configCodec() { return config_; }
    CollectCodec& collectCodec() { return collect_; }

    // Collection state: records fetched by the last collection, and the flag set while one runs.
    std::atomic<int> collectedCount{0};
    std::atomic<bool> collecting{false};

private:
    void onPortLost(int port) override;
    void onScannerPacket(int port, wire::PacketType type, std::span<const std::uint8_t> record) override;

    const int port_;
    const std::uint64_t id_;
    NotificationSink& sink_;
    BusyLock busy_;
    std::atomic<bool> tornDown_{false};
    std::once_flag teardownOnce_;

    ScanModeCodec scanMode_;
    BuzzerCodec buzzer_;
    BatteryCodec battery_;
    StorageCodec storage_;
    TimeCodec time_;
    AffixCodec affix_;
    SymbologyCodec symbology_;
    ConfigCodec config_;
    CollectCodec collect_;
    // Last: its threads report to this object, so it goes first.
    std::unique_ptr<CommandEngine> engine_;
};

// The scan record handed to the application: the packet's payload with a zero byte after the text even
// when the scanner sent none. Nothing when the payload is shorter than the 24-byte record head.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> makeScanRecord(std::span<const std::uint8_t> payload);

// 25 + the number of text bytes before the first zero byte; `record` comes from makeScanRecord.
[[nodiscard]] int scanRecordLength(std::span<const std::uint8_t> record);

}  // namespace zt::sdk

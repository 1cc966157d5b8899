#include "session/scanner_handle.h"

#include <algorithm>
#include <chrono>

namespace zt::sdk {

namespace {
constexpr std::size_t kRecordHeadSize = wire::kScanRecordHeadSize;
constexpr auto kBusyTry = std::chrono::milliseconds(1);
}  // namespace

ScannerHandle::ScannerHandle(int port, std::uint64_t id, NotificationSink& sink, const Timings& timings,
                             TransportOpener opener)
    : port_(port),
      id_(id),
      sink_(sink),
      engine_(std::make_unique<CommandEngine>(static_cast<LinkObserver&>(*this), timings, std::move(opener))) {}

ScannerHandle::~ScannerHandle() { teardown(); }

std::unique_lock<BusyLock> ScannerHandle::tryLockBusy() {
    std::unique_lock lock(busy_, std::defer_lock);
    (void)lock.try_lock_for(kBusyTry);
    return lock;
}

void ScannerHandle::teardown() {
    std::call_once(teardownOnce_, [this] {
        tornDown_.store(true);
        engine_->shutdown();          // a waiting operation returns -12 ...
        std::lock_guard busy(busy_);  // ... and is out of the handle once we hold its lock
    });
}

void ScannerHandle::onPortLost(int port) { sink_.post({Notification::Kind::Disconnected, port, id_, {}}); }

void ScannerHandle::onScannerPacket(int port, wire::PacketType type, std::span<const std::uint8_t> payload) {
    auto record = makeScanRecord(payload);
    if (!record) return;
    const auto kind =
        type == wire::PacketType::DeletedData ? Notification::Kind::DeletedData : Notification::Kind::ScanData;
    sink_.post({kind, port, id_, std::move(*record)});
}

std::optional<std::vector<std::uint8_t>> makeScanRecord(std::span<const std::uint8_t> payload) {
    if (payload.size() < kRecordHeadSize) return std::nullopt;
    std::vector<std::uint8_t> record(payload.begin(), payload.end());
    const auto text = payload.subspan(kRecordHeadSize);
    if (std::ranges::find(text, std::uint8_t{0}) == text.end()) record.push_back(0);  // text cut at the end
    return record;
}

int scanRecordLength(std::span<const std::uint8_t> record) {
    const auto text = record.subspan(std::min(record.size(), kRecordHeadSize));
    const auto zero = std::ranges::find(text, std::uint8_t{0});
    return static_cast<int>(kRecordHeadSize + 1 + static_cast<std::size_t>(zero - text.begin()));
}

}  // namespace zt::sdk

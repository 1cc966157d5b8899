#include "connection/connection_core.h"

#include "connection/record_fields.h"
#include "connection/scanner_clock.h"
#include "messages/app_messages.h"
#include "zt/client/callback_route.h"
#include "zt/client/result_text.h"

#include <QString>

#include <utility>

namespace talvo {
namespace {

constexpr int kDefaultConnectRetry = zt::client::ReconnectSchedule::kDefaultRetries;

[[nodiscard]] constexpr std::int32_t stateValue(DeviceState s) noexcept { return static_cast<std::int32_t>(s); }

}  // namespace

ConnectionCore::ConnectionCore(PageReceivers receivers, ConnectionInputs inputs, ConnectionDelays delays,
                               SdkFunctions sdk)
    : receivers_(receivers), inputs_(std::move(inputs)), delays_(delays), sdk_(sdk), clock_(delays.tickOffset) {}

int ConnectionCore::connectRetry() const {
    return inputs_.connectRetry ? inputs_.connectRetry() : kDefaultConnectRetry;
}
bool ConnectionCore::timeSync() const { return inputs_.timeSync ? inputs_.timeSync() : true; }
int ConnectionCore::listedCount() const { return inputs_.listedDeviceCount ? inputs_.listedDeviceCount() : 0; }

bool ConnectionCore::isRetired(const DeviceRecord* record) const { return retiredSet_.contains(record); }

void ConnectionCore::post(QObject* page, DeviceEventKind kind, const DeviceRecord& record) const {
    postMessage(page, AppMessage::DeviceEvent, static_cast<MessageArg>(kind),
                pointerArg(const_cast<DeviceRecord*>(&record)),
                std::any(DeviceEventInfo{record.GetPort(), std::wstring(record.GetName())}));
}

// ---- requests (user-interface thread)

void ConnectionCore::requestConnect(DeviceRecord& record) {
    // A manual request is tried once and at once, unless a drop asked for the longer wait (-1).
    updateFields(record, [](RecordFields& f) {
        if (f.retriesLeft != -1) f.dueTime = 0;
        f.retriesLeft = 0;
        f.state = stateValue(DeviceState::Connecting);
    });
    post(receivers_.connectPage, DeviceEventKind::Connecting, record);
    post(receivers_.configurePage, DeviceEventKind::Connecting, record);
    {
        std::lock_guard lock(queueLock_);
        if (isRetired(&record)) return;
        queue_.insertByDue(QueueEntry{RequestKind::Connect, &record}, recordDueTime(record));
    }
    wake_.signal();
}

void ConnectionCore::requestDisconnect(DeviceRecord& record) {
    const RecordFields before = updateFields(record, [](RecordFields& f) {
        if (f.retriesLeft != -1) f.dueTime = 0;
        f.retriesLeft = 0;
    });
    if (before.handle == nullptr) return;  // nothing open: closing would fail and change nothing
    {
        std::lock_guard lock(queueLock_);
        if (!queue_.hasDisconnect(&record)) queue_.pushDisconnect(&record);
    }
    wake_.signal();
}

void ConnectionCore::retire(std::unique_ptr<DeviceRecord> record) {
    if (!record) return;
    DeviceRecord* r = record.get();
    bool close = false;
    {
        std::lock_guard lock(queueLock_);
        queue_.removeConnects(r);
        retiredSet_.insert(r);
        retired_.push_back(std::move(record));
        close = recordHandle(*r) != nullptr && !queue_.hasDisconnect(r);
        if (close) queue_.pushDisconnect(r);
    }
    if (close) wake_.signal();
}

// ---- queries (any thread)

int ConnectionCore::getConnected(DeviceRecord** out, int capacity) const {
    std::lock_guard lock(listLock_);
    return connected_.copyFront(out, capacity);
}

std::optional<std::wstring> ConnectionCore::connectedName(ScannerHandle handle) const {
    std::lock_guard lock(listLock_);
    const DeviceRecord* r = connected_.findByHandle(handle);
    if (r == nullptr) return std::nullopt;
    return std::wstring(r->GetName());
}

void ConnectionCore::setScanDataHandler(ScanDataHandler handler) {
    auto shared = handler ? std::make_shared<const ScanDataHandler>(std::move(handler)) : nullptr;
    std::lock_guard lock(handlerLock_);
    scanHandler_ = std::move(shared);
}

// ---- worker

std::optional<QueueEntry> ConnectionCore::takeFront() {
    std::lock_guard lock(queueLock_);
    return queue_.takeFront();
}

std::optional<Tick> ConnectionCore::frontDue() const {
    std::lock_guard lock(queueLock_);
    return queue_.frontDue();
}

AttemptOutcome ConnectionCore::run(const QueueEntry& entry, std::stop_token stop) {
    DeviceRecord& record = *entry.record;
    if (entry.kind == RequestKind::Disconnect) return closeConnection(record);
    {
        std::lock_guard lock(queueLock_);
        if (isRetired(&record)) return AttemptOutcome::Dropped;
    }
    return connectAttempt(record, stop);
}

void ConnectionCore::postpone(const QueueEntry& entry) {
    const RecordFields before = updateFields(*entry.record, [this](RecordFields& f) {
        const Tick base = f.dueTime == 0 ? now() : f.dueTime;
        f.dueTime = tickAfter(base, delays_.reconnect.retryDelay);
    });
    std::lock_guard lock(queueLock_);
    if (isRetired(entry.record)) return;
    queue_.insertByDue(entry, before.dueTime);
}

AttemptOutcome ConnectionCore::connectAttempt(DeviceRecord& record, std::stop_token stop) {
    const std::int32_t port = record.GetPort();
    const RecordFields fields = readFields(record);
    if (!isDue(fields.dueTime, now())) return AttemptOutcome::Postpone;
    if (fields.state == stateValue(DeviceState::Connected)) return AttemptOutcome::AlreadyConnected;
    if (stop.stop_requested()) return AttemptOutcome::Dropped;  // the program ends: open nothing new

    {
        std::lock_guard lock(listLock_);
        opening_.begin(static_cast<unsigned>(port));
    }
    int error = 0;
    using Callbacks = zt::client::RoutedCallbacks<ConnectionCore>;
    ScannerHandle handle =
        sdk_.initialize(static_cast<unsigned int>(port), &error, &Callbacks::onDisconnect, &Callbacks::onScanData);
    if (error != 0 || handle == nullptr) {
        {
            std::lock_guard lock(listLock_);
            (void)opening_.fail(static_cast<unsigned>(port));  // losses of a scanner that never opened
        }
        return failedAttempt(record);
    }
    const AttemptOutcome outcome = listConnected(record, handle);
    if (outcome != AttemptOutcome::Connected) return outcome;
    setClock(record, handle, stop);
    announceConnected(record, handle);
    return outcome;
}

AttemptOutcome ConnectionCore::failedAttempt(DeviceRecord& record) {
    bool retry = false;
    updateFields(record, [&retry](RecordFields& f) {
        retry = zt::client::ReconnectSchedule::takeRetry(f.retriesLeft);
        if (!retry) f.state = stateValue(DeviceState::ConnectFail);
    });
    if (retry) return AttemptOutcome::Postpone;
    post(receivers_.connectPage, DeviceEventKind::ConnectFailed, record);
    post(receivers_.configurePage, DeviceEventKind::ConnectFailed, record);
    return AttemptOutcome::Failed;
}

// The open succeeded. The scanner may already have dropped again (the SDK reported a handle that was
// not listed yet), or the Connect page may have let go of the record meanwhile.
AttemptOutcome ConnectionCore::listConnected(DeviceRecord& record, ScannerHandle handle) {
    const int listed = listedCount();
    AttemptOutcome outcome = AttemptOutcome::Connected;
    {
        std::lock_guard queueLock(queueLock_);  // the queue lock first, as everywhere
        std::lock_guard listLock(listLock_);
        const bool lost = !opening_.finish(static_cast<unsigned>(record.GetPort()), handle).empty();
        if (isRetired(&record)) {
            setRecordState(record, stateValue(DeviceState::Disconnected));
            outcome = AttemptOutcome::Dropped;
        } else if (lost) {
            dropped(record, listed);
            outcome = AttemptOutcome::Dropped;
        } else {
            updateFields(record, [handle](RecordFields& f) {
                f.handle = handle;
                f.state = stateValue(DeviceState::Connected);
            });
            connected_.pushFront(&record);
        }
    }
    // A lost handle is already closed and unknown to the SDK; closing it again is harmless.
    if (outcome != AttemptOutcome::Connected) (void)sdk_.deinitialize(handle, 0);
    return outcome;
}

void ConnectionCore::setClock(const DeviceRecord& record, ScannerHandle handle, std::stop_token stop) {
    ScannerTimeBytes time = localScannerTime();
    if (!timeSync()) {
        // The Setting page fills the payload on the user-interface thread. Shutdown (stop token, send
        // gate) makes the send give up; the scanner then keeps this machine's time.
        auto reply = sendMessage(receivers_.settingPage, AppMessage::GetManualTime, 0, 0, std::any(time), stop);
        if (reply) {
            if (const auto* filled = std::any_cast<ScannerTimeBytes>(&reply->payload)) time = *filled;
        }
    }
    const int result = sdk_.setTime(handle, time.data());
    // The scanner stamps every barcode with its clock: one that keeps a wrong time (or none) can make
    // every barcode's time impossible, so the user learns of it. Not while the program ends.
    if (result == SDK_OK || stop.stop_requested()) return;
    const QString text = QStringLiteral("The clock of %1 (COM%2) was not set: %3. Its barcodes may carry a wrong time.")
                             .arg(QString::fromStdWString(record.GetName()))
                             .arg(record.GetPort())
                             .arg(QString::fromStdString(zt::client::describeResult(result)));
    postMessage(receivers_.notices, AppMessage::SetNoticeText, 0, 0, text);
}

void ConnectionCore::announceConnected(DeviceRecord& record, ScannerHandle handle) {
    std::lock_guard lock(listLock_);
    // Dropped while its clock was set: the drop has been announced instead.
    if (!connected_.contains(&record) || recordHandle(record) != handle) return;
    for (QObject* page :
         {receivers_.connectPage, receivers_.downloadPage, receivers_.settingPage, receivers_.configurePage})
        post(page, DeviceEventKind::Connected, record);
}

AttemptOutcome ConnectionCore::closeConnection(DeviceRecord& record) {
    const ScannerHandle handle = recordHandle(record);
    if (handle == nullptr || sdk_.deinitialize(handle, 0) != 0) return AttemptOutcome::Closed;
    std::lock_guard lock(listLock_);
    if (!connected_.remove(&record)) return AttemptOutcome::Closed;
    updateFields(record, [](RecordFields& f) {
        f.state = stateValue(DeviceState::Disconnected);
        f.handle = nullptr;
    });
    for (QObject* page :
         {receivers_.connectPage, receivers_.downloadPage, receivers_.settingPage, receivers_.configurePage})
        post(page, DeviceEventKind::Disconnected, record);
    return AttemptOutcome::Closed;
}

// ---- SDK dispatcher

void ConnectionCore::onDisconnect(ScannerHandle handle) {
    const int listed = listedCount();  // an atomic read: the dispatcher never waits for the pages
    std::lock_guard queueLock(queueLock_);
    std::lock_guard listLock(listLock_);
    DeviceRecord* record = connected_.findByHandle(handle);
    if (record == nullptr) {
        (void)opening_.keep(handle, ScannerLost{});  // the open that returns this handle finds it lost
        return;
    }
    connected_.remove(record);
    dropped(*record, listed);
}

void ConnectionCore::dropped(DeviceRecord& record, int listedCount) {
    if (isRetired(&record)) {
        updateFields(record, [](RecordFields& f) {
            f.state = stateValue(DeviceState::Disconnected);
            f.handle = nullptr;
        });
        for (QObject* page : {receivers_.downloadPage, receivers_.settingPage, receivers_.configurePage})
            post(page, DeviceEventKind::Disconnected, record);
        return;
    }
    // The handle is closed by the SDK; forgetting it keeps a later handle at the same address from
    // being mistaken for this record's.
    updateFields(record, [](RecordFields& f) {
        f.state = stateValue(DeviceState::Connecting);
        f.handle = nullptr;
    });
    post(receivers_.connectPage, DeviceEventKind::Connecting, record);
    post(receivers_.configurePage, DeviceEventKind::Disconnected, record);
    post(receivers_.configurePage, DeviceEventKind::Connecting, record);

    const int retries = connectRetry();
    const bool lastOfMany = zt::client::ReconnectSchedule::lastOfMany(static_cast<int>(connected_.size()), listedCount);
    const Tick now = clock_.now();
    if (retries > 0) {
        const auto delay = delays_.reconnect.firstDelay(lastOfMany);
        updateFields(record, [&](RecordFields& f) {
            f.retriesLeft = retries;
            f.dueTime = tickAfter(now, delay);
        });
        queue_.insertByDue(QueueEntry{RequestKind::Connect, &record}, recordDueTime(record));
        wake_.signalReschedule();  // the worker sleeps until the reconnect is due
        return;
    }
    updateFields(record, [&](RecordFields& f) {
        if (lastOfMany) {
            f.retriesLeft = -1;  // a manual request keeps this due time
            f.dueTime = tickAfter(now, delays_.reconnect.afterLastOfMany);
        }
        f.state = stateValue(DeviceState::Disconnected);
    });
    post(receivers_.connectPage, DeviceEventKind::Disconnected, record);
    post(receivers_.configurePage, DeviceEventKind::Disconnected, record);
}

void ConnectionCore::onScanData(ScannerHandle handle, const unsigned char* record, int length, int deleted) {
    std::shared_ptr<const ScanDataHandler> handler;
    {
        std::lock_guard lock(handlerLock_);
        handler = scanHandler_;
    }
    if (handler) (*handler)(handle, record, length, deleted);
}

void ConnectionCore::clear() {
    std::lock_guard queueLock(queueLock_);
    std::lock_guard listLock(listLock_);
    queue_.clear();
    connected_.clear();
    retiredSet_.clear();
    retired_.clear();
}

}  // namespace talvo

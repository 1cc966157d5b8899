#include "config_fixture.h"

#include "connection/device_state.h"
#include "connection/record_fields.h"
#include "messages/app_messages.h"
#include "zt330sdk.h"

#include <QtGlobal>

#include <mutex>
#include <string>
#include <thread>

namespace talvo::config::test {

namespace {

// The set whose scanners the SDK reports lost, and where to; under the lock, as the callback runs on the
// SDK's dispatcher thread.
std::mutex g_lock;
Scanners* g_current = nullptr;
QObject* g_target = nullptr;

}  // namespace

Scanners::Scanners(std::vector<int> ports) : ports_(std::move(ports)) {
    sim_ = std::make_unique<zt::sim::Simulator>(qEnvironmentVariable("ZT_PORT_DIR").toStdString());
    for (int port : ports_) {
        sim_->addScanner(port);
        records_.push_back(std::make_unique<DeviceRecord>(port, L"Scanner " + std::to_wstring(port)));
    }
    {
        std::lock_guard guard(g_lock);
        g_current = this;
    }
    // Each open waits about a second for the link to settle: the ports are opened side by side.
    std::vector<ScannerHandle> handles(ports_.size(), nullptr);
    {
        std::vector<std::jthread> openers;
        for (std::size_t i = 0; i < ports_.size(); ++i) {
            openers.emplace_back([this, i, &handles] {
                int error = 0;
                handles[i] = ztInitialize(static_cast<unsigned>(ports_[i]), &error, &Scanners::onDisconnect, nullptr);
            });
        }
    }
    for (std::size_t i = 0; i < records_.size(); ++i) {
        updateFields(*records_[i], [handle = handles[i]](RecordFields& fields) {
            fields.handle = handle;
            fields.state = 2;
        });
    }
}

Scanners::~Scanners() {
    {
        std::lock_guard guard(g_lock);
        g_current = nullptr;
        g_target = nullptr;
    }
    for (const auto& record : records_) {
        if (ScannerHandle handle = recordHandle(*record)) (void)ztDeinitialize(handle, 0);
    }
    (void)ztDeinitialize(nullptr, 1);
}

void Scanners::setDisconnectTarget(QObject* target) {
    std::lock_guard guard(g_lock);
    g_target = target;
}

void Scanners::onDisconnect(ScannerHandle handle) {
    std::lock_guard guard(g_lock);
    if (g_current == nullptr) return;
    for (const auto& record : g_current->records_) {
        if (recordHandle(*record) != handle) continue;
        updateFields(*record, [](RecordFields& fields) {
            fields.handle = nullptr;
            fields.state = 0;
        });
        if (g_target != nullptr) {
            postMessage(g_target, AppMessage::DeviceEvent, static_cast<MessageArg>(DeviceEventKind::Disconnected),
                        pointerArg(record.get()), DeviceEventInfo{record->port, record->name});
        }
        return;
    }
}

zt::sim::SimScanner& Scanners::sim(int i) const { return sim_->scanner(ports_.at(static_cast<std::size_t>(i))); }

std::vector<DeviceRecord*> Scanners::records(std::initializer_list<int> which) const {
    std::vector<DeviceRecord*> out;
    for (int i : which) out.push_back(record(i));
    return out;
}

bool Scanners::opened() const {
    for (const auto& record : records_) {
        if (recordHandle(*record) == nullptr) return false;
    }
    return true;
}

void Scanners::clearFrames() const {
    for (int port : ports_) sim_->scanner(port).clearFrames();
}

void Scanners::silence(int i, bool silent) const {
    using zt::wire::Command;
    for (Command command :
         {Command::Handshake, Command::Battery, Command::Time, Command::Storage, Command::Prefix, Command::Suffix,
          Command::Collect, Command::ScanMode, Command::Buzzer, Command::Symbology, Command::Config}) {
        sim(i).teach(command,
                     silent ? zt::sim::CommandHandler([](const zt::wire::FrameHeader&, std::span<const std::uint8_t>) {
                         return std::optional<zt::sim::Bytes>();
                     })
                            : zt::sim::CommandHandler());
    }
}

std::vector<int> Scanners::requestCodes(int i) const {
    std::vector<int> codes;
    for (const auto& frame : sim(i).frames()) {
        if (frame.header.isRequest()) codes.push_back(frame.header.code());
    }
    return codes;
}

std::size_t Scanners::frameCount() const {
    std::size_t count = 0;
    for (int port : ports_) count += sim_->scanner(port).frames().size();
    return count;
}

void ConnectedSource::customEvent(QEvent* event) {
    AppEvent* message = AppEvent::from(event);
    if (message == nullptr || message->message() != AppMessage::GetConnected) return QObject::customEvent(event);
    if (auto* out = message->payload<std::vector<DeviceRecord*>>()) *out = records;
    message->setResult(static_cast<MessageArg>(records.size()));
}

}  // namespace talvo::config::test

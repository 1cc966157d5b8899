#include "config_fixture.h"

#include "shell/app_messages.h"
#include "shell/connection/record_fields.h"
#include "zt330sdk.h"

#include <QtGlobal>

#include <string>

namespace talvo::config::test {

Scanners::Scanners(std::vector<int> ports) : ports_(std::move(ports)) {
    sim_ = std::make_unique<zt::sim::Simulator>(qEnvironmentVariable("ZT_PORT_DIR").toStdString());
    for (int port : ports_) {
        sim_->addScanner(port);
        auto record = std::make_unique<DeviceRecord>(port, L"Scanner " + std::to_wstring(port));
        int error = 0;
        ScannerHandle handle = ztInitialize(static_cast<unsigned>(port), &error, nullptr, nullptr);
        updateFields(*record, [handle](RecordFields& fields) {
            fields.handle = handle;
            fields.state = 2;
        });
        records_.push_back(std::move(record));
    }
}

Scanners::~Scanners() {
    for (const auto& record : records_) {
        if (ScannerHandle handle = recordHandle(*record)) (void)ztDeinitialize(handle, 0);
    }
    (void)ztDeinitialize(nullptr, 1);
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

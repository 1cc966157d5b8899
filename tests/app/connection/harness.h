// One connection manager over simulated scanners, with recording pages and a watch on its SDK calls.
#pragma once

#include "connection_fixture.h"
#include "messages/app_messages.h"

#include <QStringList>

#include <memory>
#include <mutex>
#include <vector>

namespace talvo::test {

// The notices posted to the notice line (MsgSetNoticeText with a text), in order.
class NoticeSink : public QObject {
public:
    [[nodiscard]] QStringList texts() const {
        const std::lock_guard lock(mutex_);
        return texts_;
    }

protected:
    void customEvent(QEvent* event) override {
        if (auto* m = AppEvent::from(event); m != nullptr && m->message() == AppMessage::SetNoticeText) {
            if (const auto* text = m->payload<QString>()) {
                const std::lock_guard lock(mutex_);
                texts_.append(*text);
            }
            m->setResult(0);
        }
    }

private:
    mutable std::mutex mutex_;
    QStringList texts_;
};

struct Harness {
    SimPorts ports;
    EventPage connectPage, downloadPage, settingPage, configurePage;
    NoticeSink notices;
    TestInputs in;
    SdkWatch watch;
    std::vector<std::unique_ptr<DeviceRecord>> records;
    std::unique_ptr<ConnectionManager> manager;  // last: shut down before the rest goes

    Harness() { openSendGate(); }
    ~Harness() { manager.reset(); }

    DeviceRecord& scanner(int port) {
        ports.add(port);
        records.push_back(makeRecord(port));
        return *records.back();
    }
    void start(ConnectionDelays delays = fastDelays(), QObject* settingReceiver = nullptr) {
        manager = std::make_unique<ConnectionManager>(
            PageReceivers{&connectPage, &downloadPage, settingReceiver != nullptr ? settingReceiver : &settingPage,
                          &configurePage, &notices},
            in.inputs(), delays, watch.functions());
    }
    void connect(DeviceRecord& r) { (void)manager->connectRequest(0, &r); }
    void disconnect(DeviceRecord& r) { (void)manager->connectRequest(1, &r); }
};

[[nodiscard]] inline int stateOf(const DeviceRecord& r) { return recordState(r); }

}  // namespace talvo::test

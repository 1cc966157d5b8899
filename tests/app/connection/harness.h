// One connection manager over simulated scanners, with recording pages and a watch on its SDK calls.
#pragma once

#include "connection_fixture.h"

#include <memory>
#include <vector>

namespace talvo::test {

struct Harness {
    SimPorts ports;
    EventPage connectPage, downloadPage, settingPage, configurePage;
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
                          &configurePage},
            in.inputs(), delays, watch.functions());
    }
    void connect(DeviceRecord& r) { (void)manager->connectRequest(0, &r); }
    void disconnect(DeviceRecord& r) { (void)manager->connectRequest(1, &r); }
};

[[nodiscard]] inline int stateOf(const DeviceRecord& r) { return recordState(r); }

}  // namespace talvo::test

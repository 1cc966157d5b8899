// Simulated scanners opened with the real SDK, and records for them as the connection manager keeps
// them, shared by the configuration tests.
#pragma once

#include "zt/sim/simulator.h"
#include "ztdevsearch.h"

#include <QObject>

#include <memory>
#include <vector>

class CSettingSheetDlg;

namespace talvo::config::test {

class Scanners {
public:
    // Opens scanners on `ports`, all at once (a little over a second in all). One set at a time: the
    // SDK's disconnect callback is process-wide.
    explicit Scanners(std::vector<int> ports);
    ~Scanners();
    Scanners(const Scanners&) = delete;
    Scanners& operator=(const Scanners&) = delete;

    // Where a lost scanner is reported, as the main sheet reports it to the Configure page: a posted
    // MsgDeviceEvent kind 1 with the record. The record's handle is cleared first, as the connection
    // manager does. Null (the start) reports nothing; reset it before `target` goes.
    void setDisconnectTarget(QObject* target);

    [[nodiscard]] zt::sim::SimScanner& sim(int i) const;
    [[nodiscard]] DeviceRecord* record(int i) const { return records_.at(static_cast<std::size_t>(i)).get(); }
    [[nodiscard]] std::vector<DeviceRecord*> records(std::initializer_list<int> which) const;
    [[nodiscard]] bool opened() const;
    void clearFrames() const;
    // Scanner `i` answers no command at all (each call then times out, about 3 s), or answers again.
    void silence(int i, bool silent) const;
    // The command codes of the requests scanner `i` received, repeats included, in order.
    [[nodiscard]] std::vector<int> requestCodes(int i) const;
    // Frames received by all scanners.
    [[nodiscard]] std::size_t frameCount() const;

private:
    static void onDisconnect(ScannerHandle handle);

    std::vector<int> ports_;
    std::unique_ptr<zt::sim::Simulator> sim_;
    std::vector<std::unique_ptr<DeviceRecord>> records_;
};

// Answers MsgGetConnected with a fixed list, as the main sheet does with the connected scanners.
class ConnectedSource : public QObject {
public:
    std::vector<DeviceRecord*> records;

protected:
    void customEvent(QEvent* event) override;
};

}  // namespace talvo::config::test

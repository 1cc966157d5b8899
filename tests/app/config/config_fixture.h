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
    // Opens scanners on `ports` (about a second each).
    explicit Scanners(std::vector<int> ports);
    ~Scanners();

    [[nodiscard]] zt::sim::SimScanner& sim(int i) const;
    [[nodiscard]] DeviceRecord* record(int i) const { return records_.at(static_cast<std::size_t>(i)).get(); }
    [[nodiscard]] std::vector<DeviceRecord*> records(std::initializer_list<int> which) const;
    [[nodiscard]] bool opened() const;
    void clearFrames() const;
    // Frames received by all scanners.
    [[nodiscard]] std::size_t frameCount() const;

private:
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

// A Download page over the connection manager, the SDK's core and simulated scanners, with a stand-in
// main sheet that answers MsgGetConnected, a private data folder and a log of the notice's texts.
#pragma once

#include "connection_fixture.h"
#include "controls/notice_dlg.h"
#include "pages/download/download_page.h"

#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace talvo::test {

class StandInSheet : public QWidget {
public:
    ConnectionManager* manager = nullptr;

protected:
    void customEvent(QEvent* event) override;
};

// Every text sent to the notice, in order; `onText` runs for each on the user-interface thread.
class NoticeLog : public QObject {
public:
    QStringList texts;
    std::function<void(const QString&)> onText;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

class DownloadRig {
public:
    explicit DownloadRig(std::chrono::milliseconds completionWait = std::chrono::milliseconds(1));
    ~DownloadRig();

    // A simulated scanner on `port` with a record named `name`.
    DeviceRecord& scanner(int port, const std::wstring& name);
    zt::sim::SimScanner& sim(int port) { return ports.scanner(port); }
    // Connects the records in this order (the page downloads them newest first) and waits for their clocks.
    [[nodiscard]] bool connect(const std::vector<DeviceRecord*>& records);
    // Presses "Start" and waits for the worker to finish.
    [[nodiscard]] bool download(int timeoutMs = 20000);
    [[nodiscard]] std::string file(const std::string& name) const;
    [[nodiscard]] std::vector<std::string> folderEntries() const;
    [[nodiscard]] QString lastStatus() const;  // the last text before "Download\r\nCompleted!"

    SimPorts ports;
    TestInputs in;
    std::filesystem::path dataDir;
    StandInSheet sheet;
    CDownloadPage* page = nullptr;
    NoticeLog notices;
    std::vector<std::unique_ptr<DeviceRecord>> records;
    std::unique_ptr<ConnectionManager> manager;
};

}  // namespace talvo::test

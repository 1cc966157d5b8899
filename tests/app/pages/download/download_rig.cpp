#include "download_rig.h"

#include "connection/record_fields.h"
#include "messages/app_messages.h"
#include "zt330sdk.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <fstream>
#include <sstream>

namespace talvo::test {

void StandInSheet::customEvent(QEvent* event) {
    auto* m = AppEvent::from(event);
    if (m == nullptr || m->message() != AppMessage::GetConnected) return QWidget::customEvent(event);
    auto* out = argPointer<DeviceRecord*>(m->second());
    m->setResult(manager != nullptr && out != nullptr ? manager->getConnected(out, static_cast<int>(m->first())) : 0);
}

bool NoticeLog::eventFilter(QObject* watched, QEvent* event) {
    if (auto* m = AppEvent::from(event); m && m->message() == AppMessage::SetNoticeText) {
        if (const auto* text = m->payload<QString>()) {
            texts.append(*text);
            if (onText) onText(*text);
        }
    }
    return QObject::eventFilter(watched, event);
}

DownloadRig::DownloadRig(std::chrono::milliseconds completionWait) {
    char pattern[] = "/tmp/talvo-download-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp");
    dataDir = pattern;
    openSendGate();
    page = new CDownloadPage(&sheet, completionWait);
    page->setRequestReceiver(&sheet);
    page->setDataFolder(QString::fromStdString(dataDir.string()));
    page->notice()->installEventFilter(&notices);
    sheet.resize(400, 400);
    manager =
        std::make_unique<ConnectionManager>(PageReceivers{nullptr, page, nullptr, nullptr}, in.inputs(), fastDelays());
    sheet.manager = manager.get();
}

DownloadRig::~DownloadRig() {
    manager->shutdown();
    page->shutdown();
    sheet.manager = nullptr;
    std::error_code ignored;
    std::filesystem::remove_all(dataDir, ignored);
}

DeviceRecord& DownloadRig::scanner(int port, const std::wstring& name) {
    ports.add(port);
    records.push_back(std::make_unique<DeviceRecord>(port, name));
    return *records.back();
}

bool DownloadRig::connect(const std::vector<DeviceRecord*>& list) {
    for (DeviceRecord* r : list) {
        const auto before = manager->connected().size();
        (void)manager->connectRequest(0, r);
        if (!QTest::qWaitFor([&] { return manager->connected().size() == before + 1; }, 5000)) return false;
        const int port = r->port;
        if (!QTest::qWaitFor([&] { return ports.scanner(port).state().clock[0] != 0; }, 5000)) return false;
        // The scanner has the clock; the SDK may still be taking its answer. A download started now
        // would find the handle busy, so wait until an exchange gets through.
        const ScannerHandle handle = recordHandle(*r);
        if (!QTest::qWaitFor(
                [&] {
                    int volume = 0;
                    return ztGetBuzzerVolume(handle, &volume) != SDK_ERR_BUSY;
                },
                5000))
            return false;
    }
    return true;
}

bool DownloadRig::download(int timeoutMs) {
    QSignalSpy finished(page, &CDownloadPage::downloadFinished);
    page->start();
    if (page->startButton()->isEnabled()) return false;  // nothing to download
    return finished.wait(timeoutMs) && page->notice()->isHidden() && page->startButton()->isEnabled();
}

std::string DownloadRig::file(const std::string& name) const {
    std::ifstream stream(dataDir / name, std::ios::binary);
    if (!stream) return "<missing>";
    std::ostringstream out;
    out << stream.rdbuf();
    return out.str();
}

std::vector<std::string> DownloadRig::folderEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dataDir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

QString DownloadRig::lastStatus() const {
    const auto at = notices.texts.indexOf(QStringLiteral("Download\r\nCompleted!"));
    return at > 0 ? notices.texts.at(at - 1) : QString();
}

}  // namespace talvo::test

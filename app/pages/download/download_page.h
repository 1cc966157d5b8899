// The Download page (tab "Download"): "Start" downloads the records stored in every connected scanner
// (at most 16, in the order the main sheet lists them) into one scan-data file each, in the data
// folder, on the page's download worker; a notice over the page tells how it goes. The real-time list
// below "Real-time data sync" and "Reset" shows the live barcodes (MsgAddRealTimeRow) while the box is
// ticked; rows that arrive while it is not are discarded.
//
// One instance per program (the SDK's progress callback reaches it through the worker's process-wide
// pointer). shutdown() (also the destructor) stops and joins the worker; the main sheet calls it after
// the connection manager's shutdown and before the Connect page releases its records.
#pragma once

#include "pages/download/download_worker.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <chrono>
#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;

namespace talvo {
class CNoticeDlg;
class CRealTimeDataList;
}  // namespace talvo

class CDownloadPage : public QWidget {
    Q_OBJECT

public:
    explicit CDownloadPage(QWidget* parent = nullptr,
                           std::chrono::milliseconds completionWait = talvo::download::DownloadWorker::kCompletionWait);
    ~CDownloadPage() override;
    CDownloadPage(const CDownloadPage&) = delete;
    CDownloadPage& operator=(const CDownloadPage&) = delete;

    // "TimeStampOfDownData": whether downloaded lines carry the scan time (read at each Start).
    void setTimeStampOfDownData(int value) { timeStampOfDownData_ = value; }
    [[nodiscard]] int timeStampOfDownData() const { return timeStampOfDownData_; }
    // The folder of the scan-data files; the working folder until set.
    void setDataFolder(const QString& folder) { dataFolder_ = folder; }
    [[nodiscard]] QString dataFolder() const { return dataFolder_; }
    // Where MsgGetConnected goes; the page's window (the main sheet) until set.
    void setRequestReceiver(QObject* receiver) { requestReceiver_ = receiver; }
    // The key that lets Enter through; Qt::Key_Select until set.
    void setActionKey(int key);

    // The "Start" button: asks for the connected scanners and hands them to the worker.
    void start();
    // The "Reset" button: empties the real-time list.
    void reset();
    // Stops and joins the worker and hides the notice; idempotent.
    void shutdown();

    [[nodiscard]] bool downloading() const;
    [[nodiscard]] QCheckBox* syncCheck() const { return sync_; }
    [[nodiscard]] QPushButton* resetButton() const { return reset_; }
    [[nodiscard]] QPushButton* startButton() const { return start_; }
    [[nodiscard]] talvo::CRealTimeDataList* realTimeList() const { return list_; }
    [[nodiscard]] talvo::CNoticeDlg* notice() const { return notice_; }
    // MsgDeviceEvent messages received so far.
    [[nodiscard]] int deviceEventCount() const { return deviceEvents_; }

signals:
    // The worker finished a download and "Start" is enabled again.
    void downloadFinished();

protected:
    void customEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    // The list's columns and the notice, for the page's present size.
    void layOut();
    void layoutList();
    void placeNotice();
    void onFinished();

    QCheckBox* sync_ = nullptr;
    QPushButton* reset_ = nullptr;
    QLabel* hint_ = nullptr;
    QPushButton* start_ = nullptr;
    talvo::CRealTimeDataList* list_ = nullptr;
    talvo::CNoticeDlg* notice_ = nullptr;
    QObject* syncFilter_ = nullptr;
    QPointer<QObject> requestReceiver_;
    QString dataFolder_;
    int timeStampOfDownData_ = 1;
    int deviceEvents_ = 0;
    std::unique_ptr<talvo::download::DownloadWorker> worker_;
};

// The device settings sheet: its own window titled "TalvoScan" with the tabs General, Symbology,
// Prefix/Suffix, Trigger and System and an "OK" button below them. It is opened for 1 to 16 scanners,
// application-modal but without a nested event loop (open(), not exec()), so that the main sheet keeps
// handling device events while it is shown. Its pages are made anew at every opening; each one reads
// its scanners on the configure worker when its tab is first shown.
//
// OK hides the disconnect notice, collects the writes of every opened page in tab order and runs them
// on the worker; the sheet closes when they are done. Closing it otherwise (Escape, the close button)
// stops the session: the reads still queued are dropped, the one running ends with its scanner call.
// Closing it while the writes confirmed with OK run (a set of silent scanners can take minutes) stops
// them too: the scanner call in progress ends, nothing after it is written.
//
// MsgGetConnected answers with the sheet's scanners; MsgDeviceEvent kind 1 shows "<name> disconnected"
// for two seconds. F4 asks the owner (MsgHideSettings 0, 1) to send the sheet and the main sheet to the
// background.
#pragma once

#include "pages/configure/sheet/sheet_access.h"

#include <QDialog>
#include <QPointer>

#include <chrono>
#include <span>
#include <stop_token>
#include <vector>

class QLabel;
class QPushButton;
class QTabWidget;
class QTimer;
class QVBoxLayout;

namespace talvo {
class CNoticeDlg;
class OrientationWatcher;
}  // namespace talvo

namespace talvo::config {
class ConfigTabPage;
}

class CSettingSheetDlg : public QDialog, public talvo::config::SheetAccess {
    Q_OBJECT

public:
    enum Tab { GeneralTab = 0, SymbologyTab, PrefixSuffixTab, TriggerTab, SystemTab, TabCount };
    static constexpr int kMaxDevices = 16;
    static constexpr std::chrono::milliseconds kNoticeTime{2000};

    // `owner` receives MsgHideSettings; `worker` runs the scanner calls and outlives the sheet.
    CSettingSheetDlg(QObject* owner, talvo::config::ConfigureWorker& worker, QWidget* parent = nullptr);
    ~CSettingSheetDlg() override;

    // Shows the sheet for `devices` on its first tab and returns 1 at once; 0 (nothing shown) for none
    // or more than 16. The records are borrowed; they stay valid while the connection manager runs.
    int openForDevices(std::span<DeviceRecord* const> devices);

    [[nodiscard]] QTabWidget* tabs() const { return tabs_; }
    [[nodiscard]] talvo::config::ConfigTabPage* page(int tab) const;
    [[nodiscard]] QPushButton* okButton() const { return okButton_; }
    [[nodiscard]] talvo::CNoticeDlg* notice() const { return notice_; }
    [[nodiscard]] bool noticeShown() const { return noticeShown_; }
    // Whether the writes confirmed with OK are still running.
    [[nodiscard]] bool writing() const { return writing_; }
    void setNoticeTime(std::chrono::milliseconds time);
    [[nodiscard]] talvo::OrientationWatcher* orientationWatcher() const { return orientation_; }
    // Margins and the notice for the layout factor of the sheet's screen now (also when it turns).
    void layOut();

    // SheetAccess
    [[nodiscard]] std::vector<DeviceRecord*> sheetDevices() override;
    [[nodiscard]] talvo::config::ConfigureWorker& worker() override { return worker_; }
    [[nodiscard]] std::stop_token session() const override { return session_.get_token(); }
    [[nodiscard]] QWidget* sheetWidget() override { return this; }

signals:
    // The sheet closed (after OK and its writes, or dismissed).
    void closed();

public slots:
    void accept() override;
    void reject() override;

protected:
    void customEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildWindow();
    void makePages();
    void discardPages();
    void openCurrentPage();
    void confirm();
    void finish(int result);
    void showNotice(const QString& name);
    void placeNotice();
    void hideNotice();

    QObject* owner_;
    talvo::config::ConfigureWorker& worker_;
    std::vector<DeviceRecord*> devices_;
    std::stop_source session_;
    std::stop_source writes_;  // the writes confirmed with OK; stopped when the sheet closes
    QTabWidget* tabs_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QLabel* writingLabel_ = nullptr;
    talvo::CNoticeDlg* notice_ = nullptr;
    QTimer* noticeTimer_ = nullptr;
    QVBoxLayout* layout_ = nullptr;
    talvo::OrientationWatcher* orientation_ = nullptr;
    bool noticeShown_ = false;
    bool writing_ = false;
    std::vector<QPointer<talvo::config::ConfigTabPage>> pages_;
};

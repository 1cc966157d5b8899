// The main sheet: the program's one window, titled "TalvoScan", with the tabs Connect, Download,
// Setting, Configure and About, the notice line and an "OK" button below them. OK, the close button, Escape and F4 hide
// it; it is never closed by the user. It owns the pages and the connection manager, holds the working
// copy of the settings, and answers the pages' requests (MsgSettingChanged, MsgConnectRequest,
// MsgGetConnected). shutdown() is the orderly end: the manager stops first (its worker, every SDK
// connection, the callbacks), then the pages go in tab order; the Setting page writes the settings.
#pragma once

#include "settings/app_settings.h"

#include <QDialog>

#include <memory>

class CConfigurePage;
class CConnectPage;
class CDownloadPage;
class CSettingPage;
class QPushButton;
class QTabWidget;

namespace talvo {
namespace keyboard {
class TypingWorker;
}
class CAboutPage;
class CNoticeLine;
class DeletedDataNotifier;
class RejectedScans;
class RealTimeData;
class ConnectionManager;
struct ConnectionDelays;
}  // namespace talvo

class CMainSheetDlg : public QDialog {
    Q_OBJECT

public:
    enum Tab { ConnectTab = 0, DownloadTab, SettingTab, ConfigureTab, AboutTab };

    // Builds the pages (the Setting page reads the settings) and starts the connection manager with
    // the given delays (the shipped ones unless a test shortens them).
    explicit CMainSheetDlg(QWidget* parent = nullptr);
    CMainSheetDlg(const talvo::ConnectionDelays& delays, QWidget* parent);
    ~CMainSheetDlg() override;
    CMainSheetDlg(const CMainSheetDlg&) = delete;
    CMainSheetDlg& operator=(const CMainSheetDlg&) = delete;

    // The orderly end; idempotent. Afterwards the sheet holds no pages and no manager.
    void shutdown();

    // Shows the sheet in front, as a second start asks it to.
    void showInFront();
    // Hides the sheet (OK, close button, Escape, F4).
    void hideSheet();

    [[nodiscard]] const talvo::SharedSettings& settings() const { return settings_; }
    [[nodiscard]] QTabWidget* tabs() const { return tabs_; }
    [[nodiscard]] QPushButton* okButton() const { return okButton_; }
    [[nodiscard]] CConnectPage* connectPage() const { return connectPage_; }
    [[nodiscard]] CDownloadPage* downloadPage() const { return downloadPage_; }
    [[nodiscard]] CSettingPage* settingPage() const { return settingPage_; }
    [[nodiscard]] CConfigurePage* configurePage() const { return configurePage_; }
    [[nodiscard]] talvo::CAboutPage* aboutPage() const { return aboutPage_; }
    // The program's notices to the user (below the tabs, on every page).
    [[nodiscard]] talvo::CNoticeLine* noticeLine() const { return noticeLine_; }
    [[nodiscard]] talvo::ConnectionManager* connectionManager() const { return manager_.get(); }
    // The live barcodes' handling (rows for the Download page, typing, deleted-data boxes).
    [[nodiscard]] talvo::RealTimeData* realTimeData() const { return realTime_.get(); }
    [[nodiscard]] talvo::DeletedDataNotifier* deletedDataNotifier() const { return deletedData_.get(); }

    void accept() override;
    void reject() override;

signals:
    // Ctrl+Q: the user asks the program to end.
    void quitRequested();

protected:
    void customEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildPages();
    void buildWindow();
    void startManager(const talvo::ConnectionDelays& delays);
    void startTyping();
    void onSettingChanged(int kind, int value);

    CConnectPage* connectPage_ = nullptr;
    CDownloadPage* downloadPage_ = nullptr;
    CSettingPage* settingPage_ = nullptr;
    CConfigurePage* configurePage_ = nullptr;
    talvo::CAboutPage* aboutPage_ = nullptr;
    talvo::CNoticeLine* noticeLine_ = nullptr;
    std::unique_ptr<talvo::DeletedDataNotifier> deletedData_;
    std::unique_ptr<talvo::RejectedScans> rejected_;         // used by the data callback: outlives its shutdown
    std::unique_ptr<talvo::keyboard::TypingWorker> typing_;  // fed by the data callback: outlives its shutdown
    std::unique_ptr<talvo::RealTimeData> realTime_;          // used by the manager's callbacks: outlives its shutdown
    std::unique_ptr<talvo::ConnectionManager> manager_;
    // Cleared when the sheet hides itself, set again when it becomes active.
    bool activated_ = true;
    talvo::SharedSettings settings_;
    QTabWidget* tabs_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

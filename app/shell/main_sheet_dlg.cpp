#include "shell/main_sheet_dlg.h"

#include "connection/connection_manager.h"
#include "controls/layout_factor.h"
#include "controls/notice_dlg.h"
#include "controls/notice_line.h"
#include "keyboard/key_delay.h"
#include "keyboard/keyboard_factory.h"
#include "keyboard/typing_worker.h"
#include "messages/app_messages.h"
#include "messages/main_sheet_ref.h"
#include "pages/about/about_page.h"
#include "pages/configure/configure_page.h"
#include "pages/connect/connect_page.h"
#include "pages/download/download_page.h"
#include "pages/setting/setting_page.h"
#include "realtime/deleted_data_notifier.h"
#include "realtime/real_time_data.h"
#include "realtime/rejected_scans.h"
#include "shell/key_filter.h"
#include "shell/talvo_scan_app.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

using talvo::AppEvent;
using talvo::AppMessage;
using talvo::SettingKind;

namespace {

// A desktop-sized window at the reference density; the layout factor widens it on dense screens.
constexpr QSize kInitialSize(520, 560);
constexpr int kMargin = 6;
// The hardware End key of the handheld is F4 here.
constexpr Qt::Key kHideKey = Qt::Key_F4;

}  // namespace

CMainSheetDlg::CMainSheetDlg(QWidget* parent) : CMainSheetDlg(talvo::ConnectionDelays::shipped(), parent) {}

CMainSheetDlg::CMainSheetDlg(const talvo::ConnectionDelays& delays, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("TalvoScan"));
    setAccessibleName(QStringLiteral("TalvoScan"));
    buildPages();
    buildWindow();
    talvo::setMainSheet(this);
    settings_.assign(settingPage_->settings());
    downloadPage_->setTimeStampOfDownData(settings_.value(SettingKind::TimeStampOfDownData));
    startManager(delays);
}

CMainSheetDlg::~CMainSheetDlg() {
    shutdown();
    if (talvo::mainSheet() == this) talvo::setMainSheet(nullptr);
}

void CMainSheetDlg::buildPages() {
    connectPage_ = new CConnectPage(this);
    connectPage_->setRequestReceiver(this);
    downloadPage_ = new CDownloadPage(this);
    downloadPage_->setRequestReceiver(this);
    downloadPage_->setDataFolder(talvo::CTalvoScanApp::dataDir());
    downloadPage_->setActionKey(talvo::readActionKeyDefaultLocation());
    settingPage_ = new CSettingPage(this);
    configurePage_ = new CConfigurePage(this);
    aboutPage_ = new talvo::CAboutPage(this);
    // The page reports each change at once; the sheet takes it as the queued MsgSettingChanged.
    connect(settingPage_, &CSettingPage::settingChanged, this,
            [this](int kind, int value) { talvo::postMessage(this, AppMessage::SettingChanged, kind, value); });
}

void CMainSheetDlg::buildWindow() {
    tabs_ = new QTabWidget(this);
    tabs_->addTab(connectPage_, QStringLiteral("Connect"));
    tabs_->addTab(downloadPage_, QStringLiteral("Download"));
    tabs_->addTab(settingPage_, QStringLiteral("Setting"));
    tabs_->addTab(configurePage_, QStringLiteral("Configure"));
    tabs_->addTab(aboutPage_, QStringLiteral("About"));

    noticeLine_ = new talvo::CNoticeLine(this);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setAccessibleName(QStringLiteral("OK"));
    okButton_->setAutoDefault(false);
    connect(okButton_, &QPushButton::clicked, this, &CMainSheetDlg::hideSheet);

    const int factor = talvo::layoutFactor(this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(noticeLine_, 1);
    buttons->addStretch(0);
    buttons->addWidget(okButton_, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin * factor, kMargin * factor, kMargin * factor, kMargin * factor);
    layout->addWidget(tabs_, 1);
    layout->addLayout(buttons);

    setSizeGripEnabled(true);
    resize(kInitialSize * factor);

    auto* hide = new QShortcut(QKeySequence(kHideKey), this);
    connect(hide, &QShortcut::activated, this, &CMainSheetDlg::hideSheet);
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    quit->setContext(Qt::ApplicationShortcut);
    connect(quit, &QShortcut::activated, this, &CMainSheetDlg::quitRequested);
}

void CMainSheetDlg::startManager(const talvo::ConnectionDelays& delays) {
    const talvo::SharedSettings* settings = &settings_;
    const CConnectPage* page = connectPage_;
    manager_ = std::make_unique<talvo::ConnectionManager>(
        talvo::PageReceivers{connectPage_, downloadPage_, settingPage_, configurePage_, noticeLine_},
        talvo::ConnectionInputs{[settings] { return settings->connectRetry(); },
                                [settings] { return settings->timeSync(); }, [page] { return page->rowCount(); }},
        delays);
    talvo::ConnectionManager* manager = manager_.get();
    deletedData_ = std::make_unique<talvo::DeletedDataNotifier>(this);
    startTyping();
    talvo::keyboard::TypingWorker* typing = typing_.get();
    QObject* notices = noticeLine_;  // a child of the sheet: outlives every callback
    rejected_ = std::make_unique<talvo::RejectedScans>(
        talvo::CTalvoScanApp::dataDir().toStdString(),
        [notices](const QString& text) { talvo::postMessage(notices, AppMessage::SetNoticeText, 0, 0, text); });
    realTime_ = std::make_unique<talvo::RealTimeData>(
        downloadPage_, deletedData_.get(), [typing](const QString& text) { (void)typing->enqueue(text); },
        talvo::RealTimeInputs{[settings] { return settings->value(SettingKind::RealTime) != 0; },
                              [settings] { return settings->value(SettingKind::TimeStamp) != 0; },
                              [manager](ScannerHandle handle) { return manager->connectedName(handle); }},
        rejected_.get());
    talvo::RealTimeData* realTime = realTime_.get();
    manager_->setScanDataHandler([realTime](ScannerHandle handle, const unsigned char* record, int length, int kind) {
        realTime->onScanData(handle, record, length, kind);
    });
    connectPage_->setRecordRetirement(
        [manager](std::unique_ptr<DeviceRecord> record) { manager->retire(std::move(record)); });
}

void CMainSheetDlg::startTyping() {
    QSettings stored(QStringLiteral("TalvoScan"), QStringLiteral("TalvoScan"));
    const int keyDelay = CTalvoScanApp::keyDelayOption().value_or(talvo::keyboard::readKeyDelay(stored));
    // A failure to type is said once, in the notice line: a message box would take the keyboard focus
    // from the application the barcodes are typed into.
    QObject* notice = noticeLine_;  // a child of the sheet: outlives the typing worker
    typing_ = std::make_unique<talvo::keyboard::TypingWorker>(
        talvo::keyboard::createKeyboardOutput(talvo::keyboard::KeyboardEnvironment::fromProcess()), keyDelay,
        [notice](const QString& reason) {
            talvo::postMessage(notice, AppMessage::SetNoticeText, 0, 0,
                               QStringLiteral("Barcodes are not typed: %1").arg(reason));
        });
    talvo::keyboard::TypingWorker* typing = typing_.get();
    aboutPage_->setKeyboardDescription([typing] { return typing->description(); });
}

void CMainSheetDlg::shutdown() {
    if (manager_ == nullptr && tabs_ != nullptr && tabs_->count() == 0) return;
    // 1. The worker, every SDK connection and the callbacks end; no thread touches a record afterwards.
    if (manager_ != nullptr) {
        manager_->shutdown();
        if (connectPage_ != nullptr) connectPage_->setRecordRetirement({});
    }
    // 1a. No callback can queue a barcode any more: the one being typed is finished, the rest counted.
    if (typing_ != nullptr) {
        const auto report = typing_->shutdown();
        if (report.droppedQueued > 0)
            qWarning("TalvoScan: %zu barcodes were not typed at the end", report.droppedQueued);
        if (aboutPage_ != nullptr) aboutPage_->setKeyboardDescription({});
    }
    // 1b. No callback runs any more: an open deleted-data box closes, the download worker (which
    //     reads the Connect page's records) ends before the records go.
    if (deletedData_ != nullptr) deletedData_->closeAll();
    if (downloadPage_ != nullptr) downloadPage_->shutdown();
    // 2. The pages go in tab order: the Connect page releases its records, the Setting page writes
    //    the settings. The manager goes last, as it keeps the records retired during the run.
    std::vector<QWidget*> pages{connectPage_, downloadPage_, settingPage_, configurePage_, aboutPage_};
    connectPage_ = nullptr;
    downloadPage_ = nullptr;
    settingPage_ = nullptr;
    configurePage_ = nullptr;
    aboutPage_ = nullptr;
    if (tabs_ != nullptr) tabs_->clear();
    for (QWidget* page : pages) std::unique_ptr<QWidget>{page}.reset();
    manager_.reset();
    realTime_.reset();
    rejected_.reset();
    typing_.reset();
    deletedData_.reset();
}

void CMainSheetDlg::showInFront() {
    activated_ = true;
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void CMainSheetDlg::hideSheet() {
    activated_ = false;
    hide();
}

void CMainSheetDlg::accept() { hideSheet(); }
void CMainSheetDlg::reject() { hideSheet(); }

void CMainSheetDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
    hideSheet();
}

bool CMainSheetDlg::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !isMinimized()) {
        activated_ = true;
        if (!isVisible()) show();
    }
    return QDialog::event(event);
}

void CMainSheetDlg::customEvent(QEvent* event) {
    AppEvent* message = AppEvent::from(event);
    if (message == nullptr) return QDialog::customEvent(event);
    switch (message->message()) {
        case AppMessage::SettingChanged:
            onSettingChanged(static_cast<int>(message->first()), static_cast<int>(message->second()));
            message->setResult(1);
            break;
        case AppMessage::ConnectRequest: {
            auto* record = talvo::argPointer<DeviceRecord>(message->second());
            const int result = (manager_ != nullptr && record != nullptr)
                                   ? manager_->connectRequest(static_cast<int>(message->first()), record)
                                   : 1;
            message->setResult(result);
            break;
        }
        case AppMessage::GetConnected: {
            const int capacity =
                std::clamp(static_cast<int>(message->first()), 0, talvo::ConnectionManager::kMaxConnectedPerRequest);
            int copied = 0;
            if (manager_ != nullptr) {
                // The records travel in the payload when there is one (a sender on another thread), else in
                // the caller's array.
                if (auto* out = message->payload<std::vector<DeviceRecord*>>()) {
                    *out = manager_->connected(capacity);
                    copied = static_cast<int>(out->size());
                } else if (auto* array = talvo::argPointer<DeviceRecord*>(message->second())) {
                    copied = manager_->getConnected(array, capacity);
                }
            }
            message->setResult(copied);
            break;
        }
        default: break;
    }
}

void CMainSheetDlg::onSettingChanged(int kind, int value) {
    // "IconTray" is kept by the Setting page only; unknown kinds are ignored.
    if (!talvo::isSettingKind(kind) || kind == static_cast<int>(SettingKind::IconTray)) return;
    const auto setting = static_cast<SettingKind>(kind);
    settings_.setValue(setting, value);
    if (setting == SettingKind::TimeStampOfDownData && downloadPage_ != nullptr)
        downloadPage_->setTimeStampOfDownData(value);
}

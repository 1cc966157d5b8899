#include "pages/configure/sheet/setting_sheet_dlg.h"

#include "connection/device_state.h"
#include "controls/label_text.h"
#include "controls/layout_factor.h"
#include "controls/notice_dlg.h"
#include "controls/orientation_watcher.h"
#include "messages/app_messages.h"
#include "pages/configure/sheet/config_tab_page.h"
#include "pages/configure/sheet/sheet_pages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

using talvo::AppEvent;
using talvo::AppMessage;
using talvo::config::ApplyStep;
using talvo::config::ConfigTabPage;

namespace {

constexpr int kMargin = 5;
constexpr QSize kInitialSize{300, 340};
constexpr Qt::Key kHideKey = Qt::Key_F4;
// The notice covers the pages: 20 from the sides, 60 from the top, in units of the layout factor.
constexpr int kNoticeLeft = 20;
constexpr int kNoticeTop = 60;
constexpr int kNoticeInset = 40;
constexpr int kNoticeExtra = 22;  // pixels kept free for the OK button's row

}  // namespace

CSettingSheetDlg::CSettingSheetDlg(QObject* owner, talvo::config::ConfigureWorker& worker, QWidget* parent)
    : QDialog(parent), owner_(owner), worker_(worker) {
    setWindowTitle(QStringLiteral("TalvoScan"));
    setAccessibleName(QStringLiteral("TalvoScan"));
    setWindowModality(Qt::ApplicationModal);
    buildWindow();
    session_.request_stop();  // no session until the sheet is opened
}

CSettingSheetDlg::~CSettingSheetDlg() {
    session_.request_stop();
    writes_.request_stop();
}

void CSettingSheetDlg::buildWindow() {
    const int k = talvo::layoutFactor(this);
    tabs_ = new QTabWidget(this);
    // All five captions stay in view: the sheet is at least as wide as its tab bar.
    tabs_->setUsesScrollButtons(false);
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setAccessibleName(QStringLiteral("OK"));
    okButton_->setAutoDefault(false);
    connect(okButton_, &QPushButton::clicked, this, &CSettingSheetDlg::confirm);
    writingLabel_ = new QLabel(this);
    writingLabel_->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(writingLabel_, 1);
    buttons->addWidget(okButton_);
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(kMargin * k, kMargin * k, kMargin * k, kMargin * k);
    layout_->addWidget(tabs_, 1);
    layout_->addLayout(buttons);
    resize(kInitialSize * k);
    orientation_ = new talvo::OrientationWatcher(this, [this] { layOut(); });

    notice_ = new talvo::CNoticeDlg(this);
    notice_->hide();
    noticeTimer_ = new QTimer(this);
    noticeTimer_->setSingleShot(true);
    noticeTimer_->setTimerType(Qt::PreciseTimer);  // a coarse timer may end the two seconds 5 % early
    noticeTimer_->setInterval(kNoticeTime);
    connect(noticeTimer_, &QTimer::timeout, this, &CSettingSheetDlg::hideNotice);

    connect(tabs_, &QTabWidget::currentChanged, this, [this] { openCurrentPage(); });
    auto* hide = new QShortcut(QKeySequence(kHideKey), this);
    connect(hide, &QShortcut::activated, this, [this] { talvo::postMessage(owner_, AppMessage::HideSettings, 0, 1); });
}

void CSettingSheetDlg::layOut() {
    const int k = talvo::layoutFactor(this);
    layout_->setContentsMargins(kMargin * k, kMargin * k, kMargin * k, kMargin * k);
    if (noticeShown_) placeNotice();
    // The pages follow their own screen's turn; a page not shown then catches up when it is shown.
}

void CSettingSheetDlg::setNoticeTime(std::chrono::milliseconds time) { noticeTimer_->setInterval(time); }

int CSettingSheetDlg::openForDevices(std::span<DeviceRecord* const> devices) {
    if (devices.empty() || devices.size() > kMaxDevices) return 0;
    if (!session_.stop_requested()) return 0;  // open already
    devices_.assign(devices.begin(), devices.end());
    session_ = std::stop_source{};
    writing_ = false;
    writingLabel_->hide();
    okButton_->setEnabled(true);
    tabs_->setEnabled(true);
    makePages();
    open();
    openCurrentPage();
    return 1;
}

void CSettingSheetDlg::makePages() {
    discardPages();
    const QSignalBlocker blocker(tabs_);
    for (int tab = 0; tab < TabCount; ++tab) {
        ConfigTabPage* made = talvo::config::makeSheetPage(tab, *this, tabs_);
        pages_.emplace_back(made);
        tabs_->addTab(made, made->caption());
    }
    tabs_->setCurrentIndex(GeneralTab);
}

void CSettingSheetDlg::discardPages() {
    const QSignalBlocker blocker(tabs_);
    tabs_->clear();
    for (auto& page : pages_) std::unique_ptr<ConfigTabPage>{page.data()}.reset();
    pages_.clear();
}

ConfigTabPage* CSettingSheetDlg::page(int tab) const {
    return tab >= 0 && tab < static_cast<int>(pages_.size()) ? pages_[static_cast<std::size_t>(tab)].data() : nullptr;
}

void CSettingSheetDlg::openCurrentPage() {
    if (auto* current = page(tabs_->currentIndex())) current->open();
}

std::vector<DeviceRecord*> CSettingSheetDlg::sheetDevices() {
    // Asked as the message, so that a page reaches its scanners the same way whoever answers.
    std::vector<DeviceRecord*> devices;
    auto reply = talvo::sendMessage(this, AppMessage::GetConnected, kMaxDevices, 0, std::vector<DeviceRecord*>{});
    if (reply) {
        if (auto* out = std::any_cast<std::vector<DeviceRecord*>>(&reply->payload)) devices = std::move(*out);
    }
    return devices;
}

void CSettingSheetDlg::confirm() {
    if (writing_) return;
    hideNotice();
    std::vector<ApplyStep> steps;
    for (auto& page : pages_) {
        if (page == nullptr || !page->isOpened()) continue;
        if (ApplyStep step = page->takeApplyStep()) steps.push_back(std::move(step));
    }
    if (steps.empty()) return finish(QDialog::Accepted);
    writing_ = true;
    tabs_->setEnabled(false);
    okButton_->setEnabled(false);
    talvo::showLabelText(writingLabel_, QStringLiteral("Writing..."));
    writingLabel_->setAccessibleName(writingLabel_->text());
    writingLabel_->show();
    // The writes have a token of their own: the session's reads may be dropped without them, and
    // closing the sheet (which stops both) abandons what is left of them.
    writes_ = std::stop_source{};
    worker_.run(
        this, writes_.get_token(),
        [steps = std::move(steps)](std::stop_token stop) {
            for (const ApplyStep& step : steps) step(stop);
            return 0;
        },
        [this](int) { finish(QDialog::Accepted); });
}

void CSettingSheetDlg::accept() { confirm(); }

void CSettingSheetDlg::reject() { finish(QDialog::Rejected); }

void CSettingSheetDlg::finish(int result) {
    session_.request_stop();
    writes_.request_stop();
    writing_ = false;
    hideNotice();
    QDialog::done(result);
    discardPages();
    emit closed();
}

void CSettingSheetDlg::customEvent(QEvent* event) {
    AppEvent* message = AppEvent::from(event);
    if (message == nullptr) return QDialog::customEvent(event);
    switch (message->message()) {
        case AppMessage::GetConnected: {
            const auto capacity =
                static_cast<std::size_t>(std::clamp(static_cast<int>(message->first()), 0, kMaxDevices));
            const std::size_t count = std::min(capacity, devices_.size());
            if (auto* out = message->payload<std::vector<DeviceRecord*>>()) {
                out->assign(devices_.begin(), devices_.begin() + static_cast<std::ptrdiff_t>(count));
            } else if (auto* array = talvo::argPointer<DeviceRecord*>(message->second())) {
                std::copy_n(devices_.begin(), count, array);
            }
            message->setResult(static_cast<talvo::MessageArg>(count));
            break;
        }
        case AppMessage::DeviceEvent:
            if (message->first() == static_cast<talvo::MessageArg>(talvo::DeviceEventKind::Disconnected)) {
                const auto* info = message->payload<talvo::DeviceEventInfo>();
                showNotice(info != nullptr ? QString::fromStdWString(info->name) : QString());
            }
            message->setResult(1);
            break;
        default: break;
    }
}

bool CSettingSheetDlg::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && noticeShown_) placeNotice();
    if (event->type() == QEvent::Resize && noticeShown_) placeNotice();
    return QDialog::event(event);
}

void CSettingSheetDlg::showNotice(const QString& name) {
    if (session_.stop_requested()) return;  // not open
    noticeShown_ = true;
    placeNotice();
    notice_->setText(QStringLiteral("%1 disconnected").arg(name));
    notice_->show();
    notice_->raise();
    noticeTimer_->start();
}

void CSettingSheetDlg::placeNotice() {
    const int k = talvo::layoutFactor(this);
    const int width = std::max(0, this->width() - kNoticeInset * k);
    // Its height leaves the same 20 units free at the bottom as at the sides (an offset of 60 with a
    // height of H - 40 units would run 20 units past the bottom edge).
    const int height = std::max(0, this->height() - (kNoticeTop + kNoticeLeft) * k - kNoticeExtra);
    notice_->setGeometry(kNoticeLeft * k, kNoticeTop * k, width, height);
}

void CSettingSheetDlg::hideNotice() {
    noticeTimer_->stop();
    notice_->hide();
    noticeShown_ = false;
}

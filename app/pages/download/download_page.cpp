#include "pages/download/download_page.h"

#include "controls/layout_factor.h"
#include "controls/notice_dlg.h"
#include "controls/orientation_watcher.h"
#include "messages/app_messages.h"
#include "messages/queued_calls.h"
#include "pages/download/download_target.h"
#include "pages/download/real_time_data_list.h"
#include "pages/download/sync_check_key_filter.h"
#include "realtime/real_time_row.h"
#include "ztdevsearch.h"

#include <QCheckBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

using talvo::AppEvent;
using talvo::AppMessage;

namespace {

// The most scanners one download takes, as every page that asks for the connected ones.
constexpr int kMaxDevices = 16;
// In units of the layout factor: the page's margins, the notice's inset from the page's edges, and
// the widths of the "Date" and "Device" columns ("Data" takes the rest less kColumnSlack).
constexpr int kMargin = 4;
constexpr int kNoticeInset = 20;
constexpr int kDateWidth = 60;
constexpr int kDeviceWidth = 80;
constexpr int kColumnSlack = 2;

}  // namespace

CDownloadPage::CDownloadPage(QWidget* parent, std::chrono::milliseconds completionWait) : QWidget(parent) {
    setAccessibleName(QStringLiteral("Download"));
    // A press and hold on the page opens nothing.
    setContextMenuPolicy(Qt::PreventContextMenu);
    buildControls();
    talvo::download::DownloadWorker::Hooks hooks;
    QPointer<talvo::CNoticeDlg> notice = notice_;
    hooks.noticeText = [notice](const QString& text) {
        talvo::postMessage(notice.data(), AppMessage::SetNoticeText, 0, 0, text);
    };
    auto* calls = new talvo::QueuedCalls(this);
    hooks.noticeVisible = [this, calls](bool visible) {
        calls->post([this, visible] {
            if (visible) placeNotice();
            notice_->setVisible(visible);
        });
    };
    hooks.finished = [this, calls] { calls->post([this] { onFinished(); }); };
    worker_ = std::make_unique<talvo::download::DownloadWorker>(std::move(hooks), completionWait);
}

CDownloadPage::~CDownloadPage() { shutdown(); }

void CDownloadPage::buildControls() {
    sync_ = new QCheckBox(QStringLiteral("Real-time data sync"), this);
    sync_->setAccessibleName(sync_->text());
    syncFilter_ = new talvo::SyncCheckKeyFilter(Qt::Key_Select, this);
    sync_->installEventFilter(syncFilter_);
    reset_ = new QPushButton(QStringLiteral("Reset"), this);
    reset_->setAccessibleName(reset_->text());
    reset_->setAutoDefault(false);
    hint_ = new QLabel(QStringLiteral("Download data of all connected devices"), this);
    hint_->setAccessibleName(hint_->text());
    hint_->setWordWrap(true);
    start_ = new QPushButton(QStringLiteral("Start"), this);
    start_->setAccessibleName(start_->text());
    start_->setAutoDefault(false);
    list_ = new talvo::CRealTimeDataList(this);
    // The columns follow the list's own size (known only once the layout placed it).
    list_->viewport()->installEventFilter(this);

    const int m = kMargin * talvo::layoutFactor(this);
    auto* top = new QHBoxLayout;
    top->addWidget(sync_);
    top->addStretch(1);
    top->addWidget(reset_);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(hint_, 1);
    bottom->addWidget(start_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(m, m, m, m);
    layout->setSpacing(m);
    layout->addLayout(top);
    layout->addWidget(list_, 1);
    layout->addLayout(bottom);

    notice_ = new talvo::CNoticeDlg(this);
    notice_->hide();
    // A turned screen: the columns and the notice follow the new shape.
    new talvo::OrientationWatcher(this, [this] { layOut(); });

    connect(reset_, &QPushButton::clicked, this, &CDownloadPage::reset);
    connect(start_, &QPushButton::clicked, this, &CDownloadPage::start);
}

void CDownloadPage::setActionKey(int key) {
    sync_->removeEventFilter(syncFilter_);
    delete syncFilter_;
    syncFilter_ = new talvo::SyncCheckKeyFilter(key, this);
    sync_->installEventFilter(syncFilter_);
}

void CDownloadPage::start() {
    if (worker_ == nullptr || !start_->isEnabled()) return;
    start_->setEnabled(false);
    std::array<DeviceRecord*, kMaxDevices> devices{};
    QObject* receiver = requestReceiver_ != nullptr ? requestReceiver_.data() : window();
    const auto reply =
        talvo::sendMessage(receiver, AppMessage::GetConnected, kMaxDevices, talvo::pointerArg(devices.data()));
    const int count = reply ? std::clamp(static_cast<int>(reply->result), 0, kMaxDevices) : 0;
    if (count == 0) {
        start_->setEnabled(true);
        return;
    }
    talvo::download::DownloadJob job;
    job.targets = talvo::download::downloadTargets({devices.begin(), devices.begin() + count});
    job.folder = (dataFolder_.isEmpty() ? QDir::currentPath() : dataFolder_).toStdString();
    job.form = timeStampOfDownData_ != 0 ? zt::scandata::LineForm::WithTime : zt::scandata::LineForm::WithoutTime;
    if (!worker_->start(std::move(job))) start_->setEnabled(true);
}

void CDownloadPage::reset() { list_->clearRows(); }

void CDownloadPage::shutdown() {
    if (worker_ == nullptr) return;
    worker_->stop();
    worker_.reset();
    notice_->hide();
}

bool CDownloadPage::downloading() const { return worker_ != nullptr && worker_->busy(); }

void CDownloadPage::onFinished() {
    start_->setEnabled(true);
    emit downloadFinished();
}

void CDownloadPage::customEvent(QEvent* event) {
    AppEvent* message = AppEvent::from(event);
    if (message == nullptr) return QWidget::customEvent(event);
    switch (message->message()) {
        case AppMessage::AddRealTimeRow:
            // Rows that arrive while the box is unticked are dropped for good.
            if (auto* row = message->payload<talvo::RealTimeRow>(); row != nullptr && sync_->isChecked())
                list_->addRow(std::move(*row));
            break;
        case AppMessage::DeviceEvent: ++deviceEvents_; break;
        default: break;
    }
}

void CDownloadPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void CDownloadPage::layOut() {
    layoutList();
    placeNotice();
}

void CDownloadPage::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::ScreenChangeInternal) layoutList();
}

bool CDownloadPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport() && event->type() == QEvent::Resize) layoutList();
    return QWidget::eventFilter(watched, event);
}

void CDownloadPage::layoutList() {
    const int factor = talvo::layoutFactor(this);
    // The date column is at least as wide as a date, which the small-screen width cannot hold.
    const int dateWidth = std::max(kDateWidth * factor,
                                   list_->fontMetrics().horizontalAdvance(QStringLiteral("0000/00/00 00:00:00")) + 12);
    const int deviceWidth = kDeviceWidth * factor;
    const int dataWidth = std::max(list_->viewport()->width() - dateWidth - deviceWidth - kColumnSlack * factor, 40);
    list_->setColumnWidth(talvo::CRealTimeDataList::DataColumn, dataWidth);
    list_->setColumnWidth(talvo::CRealTimeDataList::DateColumn, dateWidth);
    list_->setColumnWidth(talvo::CRealTimeDataList::DeviceColumn, deviceWidth);
}

void CDownloadPage::placeNotice() {
    const int inset = kNoticeInset * talvo::layoutFactor(this);
    notice_->setGeometry(rect().adjusted(inset, inset, -inset, -inset));
    notice_->raise();
}

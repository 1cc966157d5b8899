#include "pages/configure/configure_page.h"

#include "connection/device_state.h"
#include "controls/layout_factor.h"
#include "controls/list_ctrl_ext.h"
#include "controls/orientation_watcher.h"
#include "messages/app_messages.h"
#include "messages/main_sheet_ref.h"
#include "pages/configure/configure_worker.h"
#include "pages/configure/sheet/setting_sheet_dlg.h"

#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

using talvo::AppEvent;
using talvo::AppMessage;

namespace {

constexpr int kMargin = 10;
constexpr int kButtonHeight = 30;
constexpr int kMaxConnected = 16;

}  // namespace

CConfigurePage::CConfigurePage(QWidget* parent)
    : QWidget(parent), worker_(std::make_unique<talvo::config::ConfigureWorker>()) {
    setAccessibleName(QStringLiteral("Configure"));
    button_ = new QPushButton(QStringLiteral("Configure Selected Setting"), this);
    button_->setAccessibleName(button_->text());
    button_->setAutoDefault(false);
    connect(button_, &QPushButton::clicked, this, [this] { (void)configureSelected(); });

    model_ = new talvo::RowListModel<Row>(
        {{QStringLiteral("Connected Device Name")}}, /*checkable*/ true,
        [](const Row& row, int) { return QString::fromStdWString(row.name); }, this);
    list_ = new talvo::CListCtrlExt(this);
    list_->setAccessibleName(QStringLiteral("Connected Device Name"));
    list_->setModel(model_);
    list_->setHeaderCheck(false);

    layout_ = new QVBoxLayout(this);
    layout_->addWidget(button_);
    layout_->addWidget(list_, 1);
    layOut();
    orientation_ = new talvo::OrientationWatcher(this, [this] { layOut(); });

    for (DeviceRecord* record : connectedRecords()) {
        model_->addRow(0, std::make_unique<Row>(Row{record->port, record->name}));
    }
    sheet_ = new CSettingSheetDlg(this, *worker_, this);
    connect(sheet_, &CSettingSheetDlg::closed, this, [this] { sheetOpen_ = false; });
}

void CConfigurePage::layOut() {
    const int k = talvo::layoutFactor(this);
    button_->setMinimumHeight(kButtonHeight * k);
    layout_->setContentsMargins(kMargin * k, kMargin * k, kMargin * k, kMargin * k);
    layout_->setSpacing(kMargin * k);
}

CConfigurePage::~CConfigurePage() {
    // The sheet stops its session first, then the worker drops its queue and ends.
    std::unique_ptr<CSettingSheetDlg>{sheet_}.reset();
    sheet_ = nullptr;
    worker_.reset();
}

bool CConfigurePage::settingsSheetOpen() const { return sheet_ != nullptr && sheetOpen_; }

std::vector<DeviceRecord*> CConfigurePage::connectedRecords() const {
    QObject* source = connectedSource_ != nullptr ? connectedSource_.data() : talvo::mainSheet();
    if (source == nullptr) return {};
    auto reply = talvo::sendMessage(source, AppMessage::GetConnected, kMaxConnected, 0, std::vector<DeviceRecord*>{});
    if (!reply) return {};
    auto* records = std::any_cast<std::vector<DeviceRecord*>>(&reply->payload);
    return records != nullptr ? std::move(*records) : std::vector<DeviceRecord*>{};
}

int CConfigurePage::configureSelected() {
    if (settingsSheetOpen()) {
        sheet_->setWindowState(sheet_->windowState() & ~Qt::WindowMinimized);
        sheet_->show();
        sheet_->raise();
        sheet_->activateWindow();
        return 0;
    }
    const std::vector<DeviceRecord*> connected = connectedRecords();
    std::vector<DeviceRecord*> selected;
    for (int row = 0; row < model_->size() && selected.size() < kMaxConnected; ++row) {
        if (!model_->isChecked(row)) continue;
        const Row* shown = model_->rowAt(row);
        auto match = std::find_if(connected.begin(), connected.end(), [shown](const DeviceRecord* record) {
            return record->port == shown->port && record->name == shown->name;
        });
        if (match != connected.end()) selected.push_back(*match);
    }
    if (selected.empty()) return 0;
    if (sheet_->openForDevices(selected) == 0) return 0;
    sheetOpen_ = true;
    return static_cast<int>(selected.size());
}

int CConfigurePage::rowOf(int port, const std::wstring& name) const {
    for (int row = 0; row < model_->size(); ++row) {
        const Row* shown = model_->rowAt(row);
        if (shown->port == port && shown->name == name) return row;
    }
    return -1;
}

void CConfigurePage::onDeviceEvent(int kind, int port, const std::wstring& name, DeviceRecord* record) {
    using Kind = talvo::DeviceEventKind;
    if (kind == static_cast<int>(Kind::Connected)) {
        model_->addRow(0, std::make_unique<Row>(Row{port, name}));
        return;
    }
    if (kind != static_cast<int>(Kind::Disconnected) && kind != static_cast<int>(Kind::Connecting) &&
        kind != static_cast<int>(Kind::ConnectFailed)) {
        return;
    }
    const int row = rowOf(port, name);
    if (row < 0) return;
    (void)model_->takeRow(row);
    if (kind == static_cast<int>(Kind::Disconnected) && settingsSheetOpen()) {
        talvo::postMessage(sheet_, AppMessage::DeviceEvent, kind, talvo::pointerArg(record),
                           talvo::DeviceEventInfo{port, name});
    }
}

void CConfigurePage::hideSettings(int first, int second) {
    if (first != 0 || !settingsSheetOpen()) return;
    if (sheet_->isVisible()) sheet_->hide();
    sheet_->setWindowState(sheet_->windowState() | Qt::WindowMinimized);
    if (second == 1) {
        QWidget* mainWindow = window();
        mainWindow->lower();
        mainWindow->hide();
        mainWindow->setWindowState(mainWindow->windowState() | Qt::WindowMinimized);
    }
}

void CConfigurePage::customEvent(QEvent* event) {
    AppEvent* message = AppEvent::from(event);
    if (message == nullptr) return QWidget::customEvent(event);
    switch (message->message()) {
        case AppMessage::DeviceEvent: {
            ++deviceEvents_;
            const auto* info = message->payload<talvo::DeviceEventInfo>();
            auto* record = talvo::argPointer<DeviceRecord>(message->second());
            if (info != nullptr) {
                onDeviceEvent(static_cast<int>(message->first()), info->port, info->name, record);
            }
            message->setResult(1);
            break;
        }
        case AppMessage::HideSettings:
            hideSettings(static_cast<int>(message->first()), static_cast<int>(message->second()));
            message->setResult(1);
            break;
        default: break;
    }
}

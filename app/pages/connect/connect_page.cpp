#include "pages/connect/connect_page.h"

#include "connection/device_state.h"
#include "connection/record_fields.h"
#include "controls/layout_factor.h"
#include "messages/app_messages.h"
#include "pages/connect/device_list.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <string_view>

namespace {

using talvo::AppMessage;

constexpr int kMargin = 6;  // pixels at layout factor 1
constexpr int kGap = 6;
using talvo::DeviceState;

[[nodiscard]] bool sameScanner(const DeviceRecord& a, const DeviceRecord& b) {
    return a.GetPort() == b.GetPort() && std::wstring_view(a.GetName()) == std::wstring_view(b.GetName());
}

[[nodiscard]] bool inState(const DeviceRecord& record, std::initializer_list<DeviceState> states) {
    const auto state = talvo::recordState(record);
    for (DeviceState s : states)
        if (state == static_cast<std::int32_t>(s)) return true;
    return false;
}

}  // namespace

CConnectPage::CConnectPage(QWidget* parent, talvo::DeviceSearch::SearchFunction search)
    : QWidget(parent),
      list_(new CDeviceList(this)),
      connectButton_(new QPushButton(QStringLiteral("Connect"), this)),
      disconnectButton_(new QPushButton(QStringLiteral("Disconnect"), this)),
      search_(new talvo::DeviceSearch(
          [this](std::optional<talvo::DeviceSearch::Records> found) { showFound(std::move(found)); }, std::move(search),
          this)) {
    setWindowTitle(QStringLiteral("Connect"));
    setAccessibleName(QStringLiteral("Connect"));
    setContextMenuPolicy(Qt::PreventContextMenu);
    connectButton_->setAccessibleName(connectButton_->text());
    disconnectButton_->setAccessibleName(disconnectButton_->text());
    for (QPushButton* b : {connectButton_, disconnectButton_}) {
        b->setAutoDefault(false);
        b->setContextMenuPolicy(Qt::PreventContextMenu);
    }
    list_->setContextMenuPolicy(Qt::PreventContextMenu);

    // Margins and gaps grow with the display's density.
    const int k = talvo::layoutFactor(this);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(kGap * k);
    buttons->addWidget(connectButton_);
    buttons->addWidget(disconnectButton_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin * k, kMargin * k, kMargin * k, kMargin * k);
    layout->setSpacing(kGap * k);
    layout->addLayout(buttons);
    layout->addWidget(list_, 1);

    connect(connectButton_, &QPushButton::clicked, this, &CConnectPage::connectChecked);
    connect(disconnectButton_, &QPushButton::clicked, this, &CConnectPage::disconnectChecked);
    refresh();
}

// The connection manager has been shut down by now; the rows release their records.
CConnectPage::~CConnectPage() = default;

void CConnectPage::refresh() { search_->request(); }

void CConnectPage::showFound(std::optional<talvo::DeviceSearch::Records> found) {
    if (!found) return;  // no source: the rows stay

    // New scanners go on top, in search order; a record that matches a row is not taken.
    auto& rows = list_->rows();
    std::vector<const DeviceRecord*> listedNow;
    listedNow.reserve(found->size());
    for (auto& record : *found) {
        const DeviceRecord& r = *record;
        const int row = rows.findRow([&r](const DeviceRecord& shown) { return sameScanner(shown, r); });
        if (row >= 0) {
            listedNow.push_back(rows.rowAt(row));
        } else {
            listedNow.push_back(record.get());
            addRow(std::move(record));
        }
    }

    // Rows whose scanner the search no longer lists: disconnected first, then removed, bottom up.
    const auto listed = [&listedNow](const DeviceRecord* row) {
        return std::find(listedNow.begin(), listedNow.end(), row) != listedNow.end();
    };
    std::vector<int> gone;
    for (int i = 0; i < rows.size(); ++i)
        if (!listed(rows.rowAt(i))) gone.push_back(i);
    for (auto it = gone.rbegin(); it != gone.rend(); ++it) removeRow(*it);
    // `found` still holds the records that duplicated a row; they are released here.
}

void CConnectPage::addRow(std::unique_ptr<DeviceRecord> record) {
    list_->rows().addRow(0, std::move(record));
    updateRowCount();
}

void CConnectPage::removeRow(int row) {
    auto& rows = list_->rows();
    DeviceRecord* record = rows.rowAt(row);
    if (record == nullptr) return;
    (void)talvo::sendMessage(requestReceiver_, AppMessage::ConnectRequest, 1, talvo::pointerArg(record));
    std::unique_ptr<DeviceRecord> owned = rows.takeRow(row);
    updateRowCount();
    if (retire_) retire_(std::move(owned));
}

void CConnectPage::updateRowCount() { rowCount_.store(list_->rows().size(), std::memory_order_release); }

void CConnectPage::connectChecked() {
    auto& rows = list_->rows();
    for (int i = 0; i < rows.size(); ++i) {
        DeviceRecord* record = rows.rowAt(i);
        if (!rows.isChecked(i) || !inState(*record, {DeviceState::Disconnected, DeviceState::ConnectFail})) continue;
        talvo::postMessage(requestReceiver_, AppMessage::ConnectRequest, 0, talvo::pointerArg(record));
    }
}

void CConnectPage::disconnectChecked() {
    auto& rows = list_->rows();
    for (int i = 0; i < rows.size(); ++i) {
        DeviceRecord* record = rows.rowAt(i);
        if (!rows.isChecked(i) || !inState(*record, {DeviceState::Connected})) continue;
        (void)talvo::sendMessage(requestReceiver_, AppMessage::ConnectRequest, 1, talvo::pointerArg(record));
    }
}

void CConnectPage::customEvent(QEvent* event) {
    auto* message = talvo::AppEvent::from(event);
    if (message == nullptr) return QWidget::customEvent(event);
    switch (message->message()) {
        case AppMessage::DeviceEvent:
            // Compared by identity only: the record may already be gone from the list.
            list_->rows().refreshObject(talvo::argPointer<DeviceRecord>(message->second()));
            message->setResult(1);
            break;
        case AppMessage::GetDeviceCount: message->setResult(rowCount()); break;
        default: QWidget::customEvent(event);
    }
}

// The tab becoming current shows the page.
void CConnectPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) refresh();
}

// The main window became active while this page is the current one.
void CConnectPage::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible()) refresh();
}

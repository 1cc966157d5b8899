// The Connect page: the scanners paired with this machine, each with its connection status, and the
// buttons "Connect" and "Disconnect" for the ticked rows. The page owns the rows' records; the
// connection manager works on the same records. The list is refreshed from the device search every
// time the page is activated; the search runs off the user-interface thread and the rows follow when
// it is done.
#pragma once

#include "pages/connect/device_search.h"
#include "ztdevsearch.h"

#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class CDeviceList;
class QPushButton;

class CConnectPage : public QWidget {
    Q_OBJECT

public:
    // Hands a removed row's record to whoever must keep it alive (the connection manager's retire);
    // without one the record is released at once.
    using RecordRetirement = std::function<void(std::unique_ptr<DeviceRecord>)>;

    explicit CConnectPage(QWidget* parent = nullptr,
                          talvo::DeviceSearch::SearchFunction search = talvo::DeviceSearch::systemSearch());
    ~CConnectPage() override;
    CConnectPage(const CConnectPage&) = delete;
    CConnectPage& operator=(const CConnectPage&) = delete;

    // The receiver of MsgConnectRequest (the main sheet).
    void setRequestReceiver(QObject* receiver) { requestReceiver_ = receiver; }
    void setRecordRetirement(RecordRetirement retire) { retire_ = std::move(retire); }

    // The number of rows; safe from any thread (the connection manager reads it from the SDK's thread).
    [[nodiscard]] int rowCount() const noexcept { return rowCount_.load(std::memory_order_acquire); }

    // Asks the device search for the paired scanners (also on every activation); the rows follow when it
    // is done.
    void refresh();
    // Whether a search is under way (its rows have not arrived yet).
    [[nodiscard]] bool searching() const { return search_->searching(); }
    // The buttons' work.
    void connectChecked();
    void disconnectChecked();

    [[nodiscard]] CDeviceList* deviceList() const { return list_; }

protected:
    // MsgDeviceEvent (redraws the record's row, result 1) and MsgGetDeviceCount (the row count).
    void customEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The rows from what a search found: new scanners on top, rows of scanners no longer listed removed.
    void showFound(std::optional<talvo::DeviceSearch::Records> found);
    void addRow(std::unique_ptr<DeviceRecord> record);
    void removeRow(int row);
    void updateRowCount();

    CDeviceList* list_;
    QPushButton* connectButton_;
    QPushButton* disconnectButton_;
    QObject* requestReceiver_ = nullptr;
    RecordRetirement retire_;
    std::atomic<int> rowCount_{0};
    talvo::DeviceSearch* search_;
};

// The Configure page of the main sheet: the connected scanners, each with a check box, in the list
// "Connected Device Name" (newest at the top, kept current by MsgDeviceEvent), and the button
// "Configure Selected Setting", which opens the device settings sheet for the ticked scanners that are
// still connected. The page owns the sheet and the configure worker on which all of the sheet's
// scanner calls run; the worker ends with the page.
#pragma once

#include "controls/row_list_model.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class CSettingSheetDlg;
class DeviceRecord;
class QPushButton;

class QVBoxLayout;

namespace talvo {
class CListCtrlExt;
class OrientationWatcher;
}  // namespace talvo
namespace talvo::config {
class ConfigureWorker;
}

class CConfigurePage : public QWidget {
    Q_OBJECT

public:
    // A row: the port and the page's own copy of the name, which together name the scanner.
    struct Row {
        int port = 0;
        std::wstring name;
    };

    explicit CConfigurePage(QWidget* parent = nullptr);
    ~CConfigurePage() override;

    // Where MsgGetConnected goes; by default the main sheet of the process.
    void setConnectedSource(QObject* source) { connectedSource_ = source; }

    // What the button does: opens the sheet for the ticked rows whose scanners are connected.
    // Returns how many scanners the sheet was opened for (0: nothing happened).
    int configureSelected();

    // Whether the device settings sheet of this page is open (the main sheet then stays shown).
    [[nodiscard]] bool settingsSheetOpen() const;
    // MsgDeviceEvent messages received so far.
    [[nodiscard]] int deviceEventCount() const { return deviceEvents_; }

    [[nodiscard]] talvo::CListCtrlExt* deviceList() const { return list_; }
    [[nodiscard]] talvo::RowListModel<Row>* rows() const { return model_; }
    [[nodiscard]] QPushButton* configureButton() const { return button_; }
    [[nodiscard]] CSettingSheetDlg* settingSheet() const { return sheet_; }
    [[nodiscard]] talvo::config::ConfigureWorker& worker() const { return *worker_; }
    [[nodiscard]] talvo::OrientationWatcher* orientationWatcher() const { return orientation_; }
    // Margins and the button's height for the layout factor of the page's screen now (also when it turns).
    void layOut();

protected:
    void customEvent(QEvent* event) override;

private:
    [[nodiscard]] std::vector<DeviceRecord*> connectedRecords() const;
    void onDeviceEvent(int kind, int port, const std::wstring& name, DeviceRecord* record);
    void hideSettings(int first, int second);
    [[nodiscard]] int rowOf(int port, const std::wstring& name) const;

    int deviceEvents_ = 0;
    bool sheetOpen_ = false;  // from opening to closing, also while F4 keeps it hidden
    QPointer<QObject> connectedSource_;
    QPushButton* button_ = nullptr;
    talvo::CListCtrlExt* list_ = nullptr;
    talvo::RowListModel<Row>* model_ = nullptr;
    QVBoxLayout* layout_ = nullptr;
    talvo::OrientationWatcher* orientation_ = nullptr;
    std::unique_ptr<talvo::config::ConfigureWorker> worker_;  // outlives the sheet
    CSettingSheetDlg* sheet_ = nullptr;                       // child window, goes before the worker
};

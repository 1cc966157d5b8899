// The list of paired scanners on the Connect page: columns "Device Name" and "Status", a check box in
// front of every row and one in the header. Each row owns its DeviceRecord; the texts are produced
// from the record whenever the view asks (the status from its current state).
#pragma once

#include "controls/list_ctrl_ext.h"
#include "controls/row_list_model.h"
#include "ztdevsearch.h"

#include <QString>

using DeviceRowModel = talvo::RowListModel<DeviceRecord>;

class CDeviceList : public talvo::CListCtrlExt {
    Q_OBJECT

public:
    explicit CDeviceList(QWidget* parent = nullptr);

    [[nodiscard]] DeviceRowModel& rows() { return *model_; }
    [[nodiscard]] const DeviceRowModel& rows() const { return *model_; }

    // The name as the list shows it: control characters and code points that are no characters are
    // shown as U+FFFD, so that every name stays one readable line.
    [[nodiscard]] static QString displayName(const wchar_t* name);
    [[nodiscard]] static QString cellText(const DeviceRecord& record, int column);

private:
    DeviceRowModel* model_;
};

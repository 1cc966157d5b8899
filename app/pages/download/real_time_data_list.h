// The real-time list of the Download page: columns "Data", "Date" and "Device", the newest barcode at
// the top, at most kMaxRows rows (a new row pushes the oldest one out). Each row owns its RealTimeRow;
// the texts are read from it whenever the view paints.
#pragma once

#include "controls/list_ctrl_ext.h"
#include "controls/row_list_model.h"
#include "realtime/real_time_row.h"

namespace talvo {

class CRealTimeDataList : public CListCtrlExt {
    Q_OBJECT

public:
    static constexpr int kMaxRows = 100;
    enum Column { DataColumn = 0, DateColumn, DeviceColumn };

    explicit CRealTimeDataList(QWidget* parent = nullptr);

    // Puts `row` at the top, first removing the bottom row when the list is full.
    void addRow(RealTimeRow row);
    // Removes every row.
    void clearRows();
    [[nodiscard]] int rowTotal() const { return model_->size(); }
    [[nodiscard]] const RealTimeRow* rowAt(int at) const { return model_->rowAt(at); }
    [[nodiscard]] RowListModel<RealTimeRow>* rowModel() const { return model_; }

private:
    RowListModel<RealTimeRow>* model_;
};

}  // namespace talvo

#include "pages/download/real_time_data_list.h"

#include <memory>

namespace talvo {
namespace {

QString cellText(const RealTimeRow& row, int column) {
    switch (column) {
        case CRealTimeDataList::DataColumn: return row.data;
        case CRealTimeDataList::DateColumn: return row.date;
        case CRealTimeDataList::DeviceColumn: return row.device;
        default: return {};
    }
}

}  // namespace

CRealTimeDataList::CRealTimeDataList(QWidget* parent)
    : CListCtrlExt(parent),
      model_(new RowListModel<RealTimeRow>(
          {{QStringLiteral("Data")}, {QStringLiteral("Date")}, {QStringLiteral("Device")}},
          /*checkable*/ false, &cellText, this)) {
    setModel(model_);
    setAccessibleName(QStringLiteral("Real-time data"));
}

void CRealTimeDataList::addRow(RealTimeRow row) {
    if (model_->size() >= kMaxRows) (void)model_->takeRow(kMaxRows - 1);
    model_->addRow(0, std::make_unique<RealTimeRow>(std::move(row)));
}

void CRealTimeDataList::clearRows() { model_->clearRows(); }

}  // namespace talvo

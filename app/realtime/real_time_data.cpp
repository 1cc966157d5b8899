#include "realtime/real_time_data.h"

#include "messages/app_messages.h"
#include "realtime/deleted_data_notifier.h"
#include "realtime/live_record.h"
#include "realtime/real_time_row.h"
#include "realtime/rejected_scans.h"
#include "realtime/scanner_text.h"

namespace talvo {
namespace {

constexpr int kDeletedReport = 1;

bool read(const std::function<bool()>& input, bool fallback) { return input ? input() : fallback; }

}  // namespace

RealTimeData::RealTimeData(QObject* rowReceiver, DeletedDataNotifier* deleted, TypeBarcode type, RealTimeInputs inputs,
                           RejectedScans* rejected)
    : rowReceiver_(rowReceiver), deleted_(deleted), rejected_(rejected), inputs_(std::move(inputs)) {
    setTypeBarcode(std::move(type));
}

void RealTimeData::setTypeBarcode(TypeBarcode type) {
    auto shared = type ? std::make_shared<const TypeBarcode>(std::move(type)) : nullptr;
    std::lock_guard lock(typeLock_);
    type_ = std::move(shared);
}

RealTimeRow RealTimeData::makeRow(const QString& text, const QString& time, const QString& device) {
    return RealTimeRow{displayForm(text).left(RealTimeRow::kMaxDataLength), time, device};
}

QString RealTimeData::deletedDataText(const QString& time, const QString& text) {
    return QStringLiteral("Deleted Data: %1\r\n%2").arg(time, text);
}

QString RealTimeData::deviceName(ScannerHandle handle) const {
    if (!inputs_.deviceName) return {};
    const auto name = inputs_.deviceName(handle);
    return name ? QString::fromStdWString(*name) : QString();
}

void RealTimeData::onScanData(ScannerHandle handle, const unsigned char* record, int length, int kind) const {
    const auto live = parseLiveRecord(record, length);
    if (!live) return;
    if (!plausibleScanTime(live->time)) {
        if (rejected_ != nullptr) rejected_->keep(deviceName(handle), live->time, live->text, kind == kDeletedReport);
        return;
    }
    const QString time = formatScanTime(live->time);
    const QString text = decodeLocalText(live->text);
    const QString device = deviceName(handle);
    if (kind == kDeletedReport) {
        if (deleted_ != nullptr) deleted_->post(deletedDataText(time, text));
        return;
    }
    postMessage(rowReceiver_, AppMessage::AddRealTimeRow, 0, 0, makeRow(text, time, device));
    std::shared_ptr<const TypeBarcode> type;
    {
        std::lock_guard lock(typeLock_);
        type = type_;
    }
    if (!type || !read(inputs_.realTime, true)) return;
    (*type)(read(inputs_.timeStamp, false) ? time + QLatin1Char(' ') + text : text);
}

}  // namespace talvo

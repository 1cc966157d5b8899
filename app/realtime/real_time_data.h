// The data callback's work for live barcodes and deleted-data reports, on the SDK's dispatcher thread.
//
// A record whose time is impossible is neither listed nor typed: it goes to the rejected scans (kept in a
// file, the user told once per scanner). A barcode becomes a RealTimeRow (display form cut to
// 250 characters, scan time "%Y/%m/%d %H:%M:%S", the scanner's name or empty) posted to the Download
// page with MsgAddRealTimeRow, and, while "RealTime" is on, goes to the typing sink (preceded by the scan
// time and a space while "TimeStamp" is on). A deleted-data report becomes the text
// "Deleted Data: <time>\r\n<text>" for the notifier, which shows it on the user-interface thread. The
// dispatcher never waits for anything here except the name lookup under the connected list's lock.
#pragma once

#include "zt330sdk.h"

#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

class QObject;

namespace talvo {

class DeletedDataNotifier;
class RejectedScans;
struct RealTimeRow;

// Hands one barcode's whole text to the keyboard output's typing worker; called on the SDK's dispatcher,
// in arrival order; must return at once.
using TypeBarcode = std::function<void(const QString& text)>;

struct RealTimeInputs {
    std::function<bool()> realTime;   // "RealTime" [true]
    std::function<bool()> timeStamp;  // "TimeStamp" [false]
    // The connected scanner's name by handle, under the connected list's lock.
    std::function<std::optional<std::wstring>(ScannerHandle)> deviceName;
};

class RealTimeData {
public:
    // `rowReceiver` (the Download page), `deleted`, `rejected` and what `type` reaches (empty: nothing
    // is typed) must outlive every callback, i.e. the connection manager's shutdown().
    RealTimeData(QObject* rowReceiver, DeletedDataNotifier* deleted, TypeBarcode type, RealTimeInputs inputs,
                 RejectedScans* rejected = nullptr);

    // Replaces where barcodes are typed (empty: nowhere); safe while callbacks run.
    void setTypeBarcode(TypeBarcode type);

    // The data callback: kind 0 a scanned barcode, 1 a deleted-data report.
    void onScanData(ScannerHandle handle, const unsigned char* record, int length, int kind) const;

    // The pieces, for tests.
    [[nodiscard]] static RealTimeRow makeRow(const QString& text, const QString& time, const QString& device);
    [[nodiscard]] static QString deletedDataText(const QString& time, const QString& text);

private:
    [[nodiscard]] QString deviceName(ScannerHandle handle) const;

    QObject* rowReceiver_;
    DeletedDataNotifier* deleted_;
    RejectedScans* rejected_;
    mutable std::mutex typeLock_;
    std::shared_ptr<const TypeBarcode> type_;
    RealTimeInputs inputs_;
};

}  // namespace talvo

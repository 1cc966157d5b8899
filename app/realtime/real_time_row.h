// One row of the Download page's real-time list: the barcode in its display form (at most
// kMaxDataLength characters), the scan time and the name of the scanner it came from.
#pragma once

#include <QString>

namespace talvo {

struct RealTimeRow {
    static constexpr int kMaxDataLength = 250;

    QString data;
    QString date;
    QString device;
};

}  // namespace talvo

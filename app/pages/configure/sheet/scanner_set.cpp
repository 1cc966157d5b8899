#include "pages/configure/sheet/scanner_set.h"

#include "connection/record_fields.h"

namespace talvo::config {

ScannerHandles handlesOf(const std::vector<DeviceRecord*>& records) {
    ScannerHandles handles;
    handles.reserve(records.size());
    for (const DeviceRecord* record : records) handles.push_back(record != nullptr ? recordHandle(*record) : nullptr);
    return handles;
}

}  // namespace talvo::config

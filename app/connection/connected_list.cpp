#include "connection/connected_list.h"

#include "connection/record_fields.h"

#include <algorithm>

namespace talvo {

bool ConnectedList::remove(const DeviceRecord* record) {
    const auto it = std::find(records_.begin(), records_.end(), record);
    if (it == records_.end()) return false;
    records_.erase(it);
    return true;
}

bool ConnectedList::contains(const DeviceRecord* record) const {
    return std::find(records_.begin(), records_.end(), record) != records_.end();
}

DeviceRecord* ConnectedList::findByHandle(ScannerHandle handle) const {
    if (handle == nullptr) return nullptr;
    const auto it = std::find_if(records_.begin(), records_.end(),
                                 [handle](const DeviceRecord* r) { return recordHandle(*r) == handle; });
    return it == records_.end() ? nullptr : *it;
}

int ConnectedList::copyFront(DeviceRecord** out, int capacity) const {
    if (out == nullptr || capacity <= 0) return 0;
    const int n = std::min(capacity, static_cast<int>(records_.size()));
    std::copy_n(records_.begin(), n, out);
    return n;
}

}  // namespace talvo

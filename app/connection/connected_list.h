// The connected scanners, newest first. Holds pointers only; the caller's list lock guards it.
#pragma once

#include "ztdevsearch.h"

#include <cstddef>
#include <deque>

namespace talvo {

class ConnectedList {
public:
    void pushFront(DeviceRecord* record) { records_.push_front(record); }
    // Removes the record (compared by identity); false when it was not listed.
    bool remove(const DeviceRecord* record);
    [[nodiscard]] bool contains(const DeviceRecord* record) const;
    // The listed record whose handle is `handle`, or null.
    [[nodiscard]] DeviceRecord* findByHandle(ScannerHandle handle) const;
    // Copies the first `capacity` records in list order; returns how many.
    [[nodiscard]] int copyFront(DeviceRecord** out, int capacity) const;
    [[nodiscard]] bool empty() const { return records_.empty(); }
    [[nodiscard]] std::size_t size() const { return records_.size(); }
    void clear() { records_.clear(); }

private:
    std::deque<DeviceRecord*> records_;
};

}  // namespace talvo

// The fields of a DeviceRecord that change while the program runs (state, handle, retries left, due
// time) are read and written by the user-interface thread, the connection worker and the SDK's
// dispatcher. Every access goes through these functions, which take one process-wide lock; the port
// and the name never change after the search and are read directly.
//
// The lock is a leaf: it is held only for the copy, never while taking another lock.
#pragma once

#include "ztdevsearch.h"

#include <cstdint>
#include <mutex>

namespace talvo {

struct RecordFields {
    std::int32_t state = 0;
    ScannerHandle handle = nullptr;
    std::int32_t retriesLeft = 0;
    std::uint32_t dueTime = 0;
};

[[nodiscard]] RecordFields readFields(const DeviceRecord& record);
void writeFields(DeviceRecord& record, const RecordFields& fields);

[[nodiscard]] std::int32_t recordState(const DeviceRecord& record);
[[nodiscard]] ScannerHandle recordHandle(const DeviceRecord& record);
[[nodiscard]] std::uint32_t recordDueTime(const DeviceRecord& record);

void setRecordState(DeviceRecord& record, std::int32_t state);

[[nodiscard]] std::mutex& recordFieldsLock();

// Runs `change` on a copy of the record's fields and stores it, all under the lock; `change` must not
// take any lock. Returns the fields as they were before.
template <class Change>
RecordFields updateFields(DeviceRecord& record, Change&& change) {
    std::lock_guard lock(recordFieldsLock());
    const RecordFields before{record.state, record.handle, record.retriesLeft, record.dueTime};
    RecordFields after = before;
    change(after);
    record.state = after.state;
    record.handle = after.handle;
    record.retriesLeft = after.retriesLeft;
    record.dueTime = after.dueTime;
    return before;
}

}  // namespace talvo

#include "connection/record_fields.h"

namespace talvo {

std::mutex& recordFieldsLock() {
    static std::mutex lock;
    return lock;
}

RecordFields readFields(const DeviceRecord& record) {
    std::lock_guard lock(recordFieldsLock());
    return {record.state, record.handle, record.retriesLeft, record.dueTime};
}

void writeFields(DeviceRecord& record, const RecordFields& fields) {
    std::lock_guard lock(recordFieldsLock());
    record.state = fields.state;
    record.handle = fields.handle;
    record.retriesLeft = fields.retriesLeft;
    record.dueTime = fields.dueTime;
}

std::int32_t recordState(const DeviceRecord& record) { return readFields(record).state; }
ScannerHandle recordHandle(const DeviceRecord& record) { return readFields(record).handle; }
std::uint32_t recordDueTime(const DeviceRecord& record) { return readFields(record).dueTime; }

void setRecordState(DeviceRecord& record, std::int32_t state) {
    std::lock_guard lock(recordFieldsLock());
    record.state = state;
}

}  // namespace talvo

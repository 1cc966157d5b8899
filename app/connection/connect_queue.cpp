#include "connection/connect_queue.h"

#include "connection/record_fields.h"

#include <algorithm>

namespace talvo {

void ConnectQueue::insertByDue(QueueEntry entry, Tick due) {
    const auto later = std::find_if(entries_.begin(), entries_.end(), [due](const QueueEntry& e) {
        return e.kind == RequestKind::Connect && dueLater(recordDueTime(*e.record), due);
    });
    entries_.insert(later, entry);
}

void ConnectQueue::pushDisconnect(DeviceRecord* record) {
    const auto firstConnect = std::find_if(entries_.begin(), entries_.end(),
                                           [](const QueueEntry& e) { return e.kind == RequestKind::Connect; });
    entries_.insert(firstConnect, QueueEntry{RequestKind::Disconnect, record});
}

std::optional<QueueEntry> ConnectQueue::takeFront() {
    if (entries_.empty()) return std::nullopt;
    const QueueEntry front = entries_.front();
    entries_.pop_front();
    return front;
}

std::optional<Tick> ConnectQueue::frontDue() const {
    if (entries_.empty()) return std::nullopt;
    const QueueEntry& front = entries_.front();
    return front.kind == RequestKind::Disconnect ? Tick{0} : recordDueTime(*front.record);
}

void ConnectQueue::removeConnects(const DeviceRecord* record) {
    std::erase_if(entries_,
                  [record](const QueueEntry& e) { return e.kind == RequestKind::Connect && e.record == record; });
}

bool ConnectQueue::hasDisconnect(const DeviceRecord* record) const {
    return std::any_of(entries_.begin(), entries_.end(), [record](const QueueEntry& e) {
        return e.kind == RequestKind::Disconnect && e.record == record;
    });
}

}  // namespace talvo

// The pending requests of the connection worker, earliest due time first. A record may stand in it
// more than once. Closing requests stand at the very front, in the order they came. The caller's queue
// lock guards it; the due times are read from the records (their own lock is a leaf below it).
#pragma once

#include "connection/tick.h"
#include "ztdevsearch.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

namespace talvo {

enum class RequestKind : std::uint8_t { Connect = 0, Disconnect = 1 };

struct QueueEntry {
    RequestKind kind = RequestKind::Connect;
    DeviceRecord* record = nullptr;
};

class ConnectQueue {
public:
    // Inserts a connect entry before the first connect entry whose record is due later than `due`,
    // else at the back.
    void insertByDue(QueueEntry entry, Tick due);
    void pushBack(QueueEntry entry) { entries_.push_back(entry); }
    // A closing request goes behind the other closing requests, before every connect entry.
    void pushDisconnect(DeviceRecord* record);
    [[nodiscard]] std::optional<QueueEntry> takeFront();
    // The due time of the front entry (0 for a closing request), or nothing when empty.
    [[nodiscard]] std::optional<Tick> frontDue() const;
    // Removes the record's connect entries; its closing request stays.
    void removeConnects(const DeviceRecord* record);
    [[nodiscard]] bool hasDisconnect(const DeviceRecord* record) const;
    [[nodiscard]] std::size_t size() const { return entries_.size(); }
    [[nodiscard]] bool empty() const { return entries_.empty(); }
    void clear() { entries_.clear(); }

private:
    std::deque<QueueEntry> entries_;
};

}  // namespace talvo

#include "outbox.h"

namespace zt::sim {

void Outbox::push(Bytes bytes) {
    {
        const std::lock_guard lock(mutex_);
        queued_.push_back(std::move(bytes));
    }
    wake_.signal();
}

std::deque<Bytes> Outbox::takeAll() {
    const std::lock_guard lock(mutex_);
    return std::exchange(queued_, {});
}

}  // namespace zt::sim

#include "fault_plan.h"

namespace zt::sim {

void FaultPlan::add(int requests, Apply apply) {
    if (requests < 1) return;
    const std::lock_guard lock(mutex_);
    entries_.push_back({requests, std::move(apply)});
}

RequestFaults FaultPlan::takeNext() {
    RequestFaults faults;
    const std::lock_guard lock(mutex_);
    for (auto& entry : entries_) {
        entry.apply(faults);
        --entry.remaining;
    }
    std::erase_if(entries_, [](const Entry& entry) { return entry.remaining <= 0; });
    return faults;
}

}  // namespace zt::sim

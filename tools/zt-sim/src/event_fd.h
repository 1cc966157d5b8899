// Wakes a thread that waits in poll(): signal() makes the descriptor readable until drain().
#pragma once

#include "unique_fd.h"

namespace zt::sim {

class EventFd {
public:
    EventFd();  // throws std::system_error when the kernel refuses one

    void signal() const;
    void drain() const;
    [[nodiscard]] int fd() const { return fd_.get(); }

private:
    UniqueFd fd_;
};

}  // namespace zt::sim

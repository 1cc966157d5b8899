// A counter descriptor that one thread signals and another polls: the way threads wake a poll loop.
#pragma once

#include "unique_fd.h"

namespace ztctl {

class EventFd {
public:
    EventFd();  // throws std::system_error

    // Makes the descriptor readable. Safe from any thread; never blocks.
    void signal() const;
    // Makes it unreadable again.
    void clear() const;
    [[nodiscard]] int fd() const { return fd_.get(); }

private:
    UniqueFd fd_;
};

}  // namespace ztctl

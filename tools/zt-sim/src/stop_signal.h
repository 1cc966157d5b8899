// SIGINT and SIGTERM as a descriptor the main thread waits on. Construct it before starting any thread:
// threads inherit the blocked signal mask, so the signals reach the descriptor and nobody else.
#pragma once

#include "unique_fd.h"

#include <signal.h>

namespace zt::sim::cli {

class StopSignal {
public:
    StopSignal();   // blocks the signals; throws std::system_error on failure
    ~StopSignal();  // unblocks them again
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    // Blocks until one of the signals arrives; returns its number.
    [[nodiscard]] int wait() const;
    // Readable once one of the signals arrived, for waiting on it together with other descriptors.
    [[nodiscard]] int fd() const { return fd_.get(); }

private:
    sigset_t previous_{};
    UniqueFd fd_;
};

}  // namespace zt::sim::cli

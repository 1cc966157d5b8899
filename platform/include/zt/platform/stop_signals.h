// SIGINT and SIGTERM as a readable descriptor instead of signal handlers.
#pragma once

#include "zt/platform/unique_fd.h"

#include <optional>

namespace zt::platform {

// Blocks both signals for the whole process and receives them through a signalfd, so no handler runs.
// Construct it before any thread starts: threads inherit the blocked mask. The mask stays blocked after
// destruction, so a late signal cannot end the process in the middle of its clean-up.
class StopSignals {
public:
    StopSignals();  // throws std::system_error
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Readable once a signal arrived, for poll() together with other descriptors.
    [[nodiscard]] int fd() const { return fd_.get(); }
    // The signal that arrived, if one did; does not wait.
    [[nodiscard]] std::optional<int> take() const;
    // Waits for a signal and returns its number. Throws std::system_error when it cannot wait.
    [[nodiscard]] int wait() const;

private:
    UniqueFd fd_;
};

}  // namespace zt::platform

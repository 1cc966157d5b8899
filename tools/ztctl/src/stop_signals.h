// SIGINT and SIGTERM as readable events. The constructor blocks both signals for the whole process, so it
// must run before any thread starts (threads inherit the mask); the signals then wait in a signalfd that
// the program's poll loops watch, and no signal handler runs at all.
#pragma once

#include "unique_fd.h"

#include <optional>

namespace ztctl {

class StopSignals {
public:
    StopSignals();  // throws std::system_error
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    [[nodiscard]] int fd() const { return fd_.get(); }
    // The signal that arrived, if one did; does not wait.
    [[nodiscard]] std::optional<int> take() const;

private:
    UniqueFd fd_;
};

}  // namespace ztctl

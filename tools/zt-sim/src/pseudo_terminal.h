// A pseudo-terminal pair standing in for a scanner's serial line. The scanner uses the master side; the
// SDK opens the slave side. Destroying it closes both ends; whoever still has the slave open then sees
// the line hung up. The terminal keeps one slave descriptor of its own open for its whole life:
// without it the master reports POLLHUP and reads fail with EIO whenever the SDK has the port closed.
#pragma once

#include "zt/platform/unique_fd.h"

#include <filesystem>

namespace zt::sim {

class PseudoTerminal {
public:
    PseudoTerminal();  // throws std::system_error when the kernel refuses a new pair

    [[nodiscard]] int master() const { return master_.get(); }
    [[nodiscard]] const std::filesystem::path& slavePath() const { return slavePath_; }

private:
    platform::UniqueFd master_;
    platform::UniqueFd ownSlave_;  // never read: only keeps the line up
    std::filesystem::path slavePath_;
};

}  // namespace zt::sim

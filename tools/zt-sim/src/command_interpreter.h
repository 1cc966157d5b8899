// The line commands that steer a running simulator, from standard input or the control socket. Every
// command gets a reply: lines of information if any, then "ok" or "error: <why>", each ending in "\n".
#pragma once

#include "line_splitter.h"
#include "zt/platform/unique_fd.h"
#include "zt/sim/simulator.h"

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>

namespace zt::sim::cli {

class CommandInterpreter {
public:
    explicit CommandInterpreter(Simulator& simulator) : simulator_(simulator) {}

    // Runs one line. A blank line gets an empty reply. Commands from several threads run one at a time.
    [[nodiscard]] std::string execute(std::string_view line);
    // The same for a line from a LineSplitter; one that was too long is refused.
    [[nodiscard]] std::string execute(const Line& line);

    // Set, and the descriptor readable, once "quit" was run.
    [[nodiscard]] bool quitRequested() const { return quit_.load(); }
    [[nodiscard]] int quitFd() const { return quitEvent_.fd(); }

private:
    [[nodiscard]] std::string run(std::string_view line);

    Simulator& simulator_;
    std::mutex mutex_;
    std::atomic<bool> quit_{false};
    platform::WakeFd quitEvent_;
};

// What "help" prints.
[[nodiscard]] std::string commandHelp();

}  // namespace zt::sim::cli

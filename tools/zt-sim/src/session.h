// One terminal of a scanner and the worker thread that serves it, from the moment the scanner is in
// range until it hangs up.
#pragma once

#include "outbox.h"
#include "pseudo_terminal.h"
#include "scanner_core.h"

#include <filesystem>
#include <thread>

namespace zt::sim {

class Session {
public:
    explicit Session(ScannerCore& core);  // opens a terminal and starts serving it
    ~Session();                           // stops the worker, then closes the terminal
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    [[nodiscard]] const std::filesystem::path& slavePath() const { return terminal_.slavePath(); }
    // Written by the worker as soon as it is free.
    void send(Bytes bytes) { outbox_.push(std::move(bytes)); }

private:
    ScannerCore& core_;
    PseudoTerminal terminal_;
    Outbox outbox_;
    std::jthread worker_;  // last: stopped and joined before the rest goes
};

}  // namespace zt::sim

// The program's main loop: runs the commands read from standard input and writes their replies, until a
// stop signal arrives or a "quit" is run, from here or from the control socket. The end of the input
// only ends the reading: a simulator started in the background, with its input closed, keeps running.
#pragma once

#include "command_interpreter.h"

namespace zt::sim::cli {

enum class StopReason { Signal, Quit };

class Console {
public:
    // Replies go to `output`, notes to `notes`; the descriptors stay the caller's.
    Console(CommandInterpreter& interpreter, int input, int output, int notes)
        : interpreter_(interpreter), input_(input), output_(output), notes_(notes) {}

    // Returns once `stopFd` (a signal descriptor) is readable or "quit" was run.
    [[nodiscard]] StopReason run(int stopFd);

private:
    void readInput();
    void endInput();
    void write(int fd, std::string_view text) const;

    CommandInterpreter& interpreter_;
    int input_;
    int output_;
    int notes_;
    LineSplitter lines_;
};

}  // namespace zt::sim::cli

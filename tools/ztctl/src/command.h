// A subcommand of ztctl: its name, one line for the overview, its --help text and its entry point.
#pragma once

#include "zt/client/arguments.h"
#include "zt/platform/stop_signals.h"

#include <span>
#include <string_view>

namespace ztctl {

using zt::client::Arguments;
using zt::client::KnownOption;
using Words = std::span<const std::string_view>;

struct Context {
    const zt::platform::StopSignals& signals;
};

struct Command {
    std::string_view name;
    std::string_view summary;
    std::string_view help;  // full usage text, ending in a newline
    // Returns the exit status; throws UsageError for bad arguments.
    int (*run)(const Context& context, Words args);
};

[[nodiscard]] std::span<const Command> commands();
[[nodiscard]] const Command* findCommand(std::string_view name);

// Prints `help` to stdout and returns true when the arguments ask for it.
[[nodiscard]] bool printedHelp(const Arguments& arguments, std::string_view help);

}  // namespace ztctl

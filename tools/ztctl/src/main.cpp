// ztctl: the scanner SDK and the device search from the command line.
#include "command.h"
#include "usage_error.h"
#include "zt/platform/stop_signals.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace ztctl;

void printOverview(std::FILE* out) {
    std::string text =
        "usage: ztctl COMMAND [ARGUMENTS]   (ztctl COMMAND --help for each command)\n"
        "Drives Bluetooth barcode scanners through the scanner SDK. Ports are given as 5 or COM5\n"
        "(/dev/rfcomm5, or $ZT_PORT_DIR/COM5 when ZT_PORT_DIR is set).\n\ncommands:\n";
    for (const auto& command : commands()) {
        std::string name(command.name);
        name.resize(12, ' ');
        text += "  " + name + std::string(command.summary) + "\n";
    }
    text += "\nexit status: 0 all good, 1 some scanner failed, 2 bad arguments\n";
    std::fputs(text.c_str(), out);
}

int runCommand(const Command& command, const std::vector<std::string_view>& args) {
    const zt::platform::StopSignals signals;  // before any thread starts
    const Context context{signals};
    try {
        return command.run(context, args);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "ztctl %.*s: %s\nTry 'ztctl %.*s --help'.\n", static_cast<int>(command.name.size()),
                     command.name.data(), error.what(), static_cast<int>(command.name.size()), command.name.data());
        return kExitUsage;
    }
}

}  // namespace

int main(int argc, char** argv) {
    // A reader that went away makes writes fail with EPIPE instead of ending the process unannounced.
    std::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string_view> words(argv + 1, argv + argc);
    if (words.empty()) {
        printOverview(stderr);
        return kExitUsage;
    }
    if (words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
        printOverview(stdout);
        return kExitOk;
    }
    const Command* command = findCommand(words[0]);
    if (command == nullptr) {
        std::fprintf(stderr, "ztctl: unknown command '%.*s'\n", static_cast<int>(words[0].size()), words[0].data());
        printOverview(stderr);
        return kExitUsage;
    }
    try {
        return runCommand(*command, {words.begin() + 1, words.end()});
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ztctl: %s\n", error.what());
        return kExitFailed;
    }
}

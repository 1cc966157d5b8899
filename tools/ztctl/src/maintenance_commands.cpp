// ztctl erase and ztctl defaults: the two operations that cannot be undone, so both ask first.
#include "commands_impl.h"

#include "interruptible.h"
#include "ports.h"
#include "scanner_run.h"

#include <cstdio>
#include <string>

namespace ztctl {

const std::string_view kEraseHelp =
    "usage: ztctl erase PORT... [--yes]\n"
    "Erases every record stored in each scanner. Asks for confirmation on the terminal (answer y)\n"
    "unless --yes is given; any other answer, or the end of input, erases nothing (exit status 1).\n";

const std::string_view kDefaultsHelp =
    "usage: ztctl defaults PORT... [--yes]\n"
    "Restores each scanner's factory settings. Asks for confirmation on the terminal (answer y)\n"
    "unless --yes is given; any other answer, or the end of input, changes nothing (exit status 1).\n";

namespace {

int runConfirmed(const Context& context, Words args, std::string_view help, std::string_view question,
                 std::string_view what, int (*operation)(ScannerHandle)) {
    const Arguments arguments(args, {{"--yes", false}});
    if (printedHelp(arguments, help)) return kExitOk;
    const auto ports = parsePorts(arguments.positionals());
    std::string list;
    for (const unsigned port : ports) list += (list.empty() ? "" : ", ") + portLabel(port);
    if (!arguments.has("--yes") && !confirm(context.signals, std::string(question) + " " + list + "?")) {
        std::fputs("ztctl: nothing was done\n", stderr);
        return kExitFailed;
    }
    return applyToAll(context, ports, what, operation);
}

}  // namespace

int runErase(const Context& context, Words args) {
    return runConfirmed(context, args, kEraseHelp, "Erase every record stored in", "erase", ztClearAllData);
}

int runDefaults(const Context& context, Words args) {
    return runConfirmed(context, args, kDefaultsHelp, "Restore the factory settings of", "defaults", ztSetDefault);
}

}  // namespace ztctl

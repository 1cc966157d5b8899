// ztctl devices: the paired scanners from the device search.
#include "commands_impl.h"

#include "json.h"
#include "paired_scanners.h"
#include "zt/client/display_form.h"

#include <cstdio>
#include <string>

namespace ztctl {

using zt::client::displayForm;

const std::string_view kDevicesHelp =
    "usage: ztctl devices [--json]\n"
    "Lists the scanners paired with this machine, one per line: the port (COM<n>, the tty /dev/rfcomm<n>),\n"
    "a tab and the Bluetooth name. No scanner is opened.\n"
    "  --json   one JSON object per scanner: {\"port\":\"COM5\",\"number\":5,\"name\":\"...\"}\n";

int runDevices(const Context&, Words args) {
    const Arguments arguments(args, {{"--json", false}});
    if (printedHelp(arguments, kDevicesHelp)) return kExitOk;
    if (!arguments.positionals().empty()) throw UsageError("devices takes no ports");
    const bool json = arguments.has("--json");
    const auto scanners = searchPairedScanners();
    if (scanners.empty()) std::fputs("ztctl: no paired scanner found (see docs/devsearch.md)\n", stderr);
    for (const auto& scanner : scanners) {
        const std::string port = "COM" + std::to_string(scanner.port);
        const auto number = static_cast<long long>(scanner.port);
        const std::string line =
            json ? JsonObject().add("port", port).add("number", number).add("name", scanner.name).str()
                 : port + "\t" + displayForm(scanner.name);
        std::puts(line.c_str());
    }
    return kExitOk;
}

}  // namespace ztctl

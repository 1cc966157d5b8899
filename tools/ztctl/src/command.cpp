#include "command.h"

#include "commands_impl.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

namespace ztctl {
namespace {

const std::array<Command, 11>& table() {
    static const std::array<Command, 11> kCommands{
        Command{"devices", "list the paired scanners (port, name)", kDevicesHelp, runDevices},
        Command{"info", "show what the scanners report about themselves", kInfoHelp, runInfo},
        Command{"listen", "print live barcodes until Ctrl-C", kListenHelp, runListen},
        Command{"download", "download stored records into NAME_ScanData.txt", kDownloadHelp, runDownload},
        Command{"set-time", "set the scanners' clocks", kSetTimeHelp, runSetTime},
        Command{"get", "read one setting", kGetHelp, runGet},
        Command{"set", "write one setting to scanners", kSetHelp, runSet},
        Command{"keys", "list the settings that get and set know", kKeysHelp, runKeys},
        Command{"symbology", "list, read or write symbology options", kSymbologyHelp, runSymbology},
        Command{"erase", "erase the records stored in scanners", kEraseHelp, runErase},
        Command{"defaults", "restore the scanners' factory settings", kDefaultsHelp, runDefaults},
    };
    return kCommands;
}

}  // namespace

std::span<const Command> commands() { return table(); }

const Command* findCommand(std::string_view name) {
    const auto& all = table();
    const auto found = std::ranges::find(all, name, &Command::name);
    return found == all.end() ? nullptr : &*found;
}

bool printedHelp(const Arguments& arguments, std::string_view help) {
    if (!arguments.help()) return false;
    std::fwrite(help.data(), 1, help.size(), stdout);
    return true;
}

}  // namespace ztctl

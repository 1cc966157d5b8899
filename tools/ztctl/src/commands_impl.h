// Entry points and help texts of the subcommands (one source file each).
#pragma once

#include "command.h"
#include "usage_error.h"

#include <string_view>

namespace ztctl {

extern const std::string_view kDevicesHelp;
extern const std::string_view kInfoHelp;
extern const std::string_view kListenHelp;
extern const std::string_view kDownloadHelp;
extern const std::string_view kSetTimeHelp;
extern const std::string_view kGetHelp;
extern const std::string_view kSetHelp;
extern const std::string_view kKeysHelp;
extern const std::string_view kSymbologyHelp;
extern const std::string_view kEraseHelp;
extern const std::string_view kDefaultsHelp;

int runDevices(const Context& context, Words args);
int runInfo(const Context& context, Words args);
int runListen(const Context& context, Words args);
int runDownload(const Context& context, Words args);
int runSetTime(const Context& context, Words args);
int runGet(const Context& context, Words args);
int runSet(const Context& context, Words args);
int runKeys(const Context& context, Words args);
int runSymbology(const Context& context, Words args);
int runErase(const Context& context, Words args);
int runDefaults(const Context& context, Words args);

}  // namespace ztctl

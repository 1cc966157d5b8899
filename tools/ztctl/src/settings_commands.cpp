// ztctl get, set, set-time and keys: one setting at a time, by name.
#include "commands_impl.h"

#include "interruptible.h"
#include "ports.h"
#include "scanner_run.h"
#include "setting_keys.h"
#include "setting_read.h"
#include "zt/client/display_form.h"
#include "zt/client/scanner_time.h"

#include <cstdio>
#include <string>
#include <vector>

namespace ztctl {

using zt::client::displayForm;

const std::string_view kGetHelp =
    "usage: ztctl get PORT KEY\n"
    "Reads one setting of one scanner and prints it in the form that 'ztctl set' takes back.\n"
    "Keys: see 'ztctl keys'.\n";

const std::string_view kSetHelp =
    "usage: ztctl set PORT... KEY VALUE...\n"
    "Writes one setting to each scanner. The value is checked before any scanner is opened.\n"
    "Keys and their values: see 'ztctl keys'. Examples:\n"
    "  ztctl set 5 6 buzzer-volume 2\n"
    "  ztctl set COM5 scan-mode 1 500\n"
    "  ztctl set 5 prefix '>\\t'            (backslash notation: \\t \\n \\r \\\\)\n"
    "  ztctl set 5 sleep-led off\n";

const std::string_view kSetTimeHelp =
    "usage: ztctl set-time PORT... [--time YYYYMMDDhhmmss]\n"
    "Sets each scanner's clock from this machine's local clock, or to the given time.\n";

const std::string_view kKeysHelp =
    "usage: ztctl keys\n"
    "Lists the settings that 'ztctl get' and 'ztctl set' know, with the values that set takes.\n";

namespace {

const SettingKey& requireKey(std::string_view name) {
    const auto* key = findSettingKey(name);
    if (key == nullptr) throw UsageError("unknown key '" + displayForm(name) + "' (see 'ztctl keys')");
    return *key;
}

Apply parseValue(const SettingKey& key, Words values) {
    if (key.parse == nullptr) throw UsageError(std::string(key.name) + " can only be read");
    try {
        return key.parse(values);
    } catch (const UsageError& error) {
        throw UsageError(std::string(key.name) + ": " + error.what());
    }
}

}  // namespace

int runGet(const Context& context, Words args) {
    const Arguments arguments(args, {});
    if (printedHelp(arguments, kGetHelp)) return kExitOk;
    const auto words = arguments.positionals();
    if (words.size() != 2) throw UsageError("get takes PORT KEY");
    const unsigned port = requirePort(words[0]);
    const auto& key = requireKey(words[1]);
    const std::vector<unsigned> ports{port};
    return runOnScanners(context, ports, ScannerNames{}, false, Opening::Together, [&](OpenScanner& scanner) {
        Reading reading;
        bool ok = false;
        static_cast<void>(readSetting(scanner, key, reading, ok));
        if (ok) std::puts(reading.text.c_str());
        return ok;
    });
}

int runSet(const Context& context, Words args) {
    const Arguments arguments(args, {});
    if (printedHelp(arguments, kSetHelp)) return kExitOk;
    const auto words = arguments.positionals();
    std::size_t next = 0;
    std::vector<std::string_view> portWords;
    while (next < words.size() && parsePort(words[next]).match != PortMatch::NotPort)
        portWords.push_back(words[next++]);
    const auto ports = parsePorts(portWords);
    if (next == words.size()) throw UsageError("set takes PORT... KEY VALUE");
    const auto& key = requireKey(words[next]);
    const auto apply = parseValue(key, words.subspan(next + 1));
    return applyToAll(context, ports, key.name, apply);
}

int runSetTime(const Context& context, Words args) {
    const Arguments arguments(args, {{"--time", true}});
    if (printedHelp(arguments, kSetTimeHelp)) return kExitOk;
    const auto ports = parsePorts(arguments.positionals());
    std::vector<std::string_view> value{"now"};
    if (const auto time = arguments.value("--time")) value = {*time};
    const auto apply = parseValue(*findSettingKey("time"), value);
    return applyToAll(context, ports, "time", apply);
}

int runKeys(const Context&, Words args) {
    const Arguments arguments(args, {});
    if (printedHelp(arguments, kKeysHelp)) return kExitOk;
    if (!arguments.positionals().empty()) throw UsageError("keys takes no arguments");
    for (const auto& key : settingKeys()) {
        std::string name(key.name);
        name.resize(24, ' ');
        std::string syntax = key.syntax.empty() ? std::string("(read only)") : std::string(key.syntax);
        syntax.resize(38, ' ');
        std::printf("%s%s%.*s\n", name.c_str(), syntax.c_str(), static_cast<int>(key.summary.size()),
                    key.summary.data());
    }
    return kExitOk;
}

}  // namespace ztctl

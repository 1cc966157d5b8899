// ztctl symbology: the symbology options of one scanner, by group and item or by name.
#include "commands_impl.h"

#include "interruptible.h"
#include "ports.h"
#include "scanner_run.h"
#include "sdk_result.h"
#include "setting_values.h"
#include "zt/client/display_form.h"
#include "zt/protocol/symbology.h"

#include <cstdio>
#include <string>
#include <vector>

namespace ztctl {

using zt::client::displayForm;
using zt::wire::SymbologyOption;

namespace {

// The pages' rows are the only pairs the SDK exchanges; ztctl offers those alone.
const SymbologyOption* offered(const SymbologyOption* row) { return row != nullptr && row->shown ? row : nullptr; }

std::string symbologyHelpText() {
    std::string text =
        "usage: ztctl symbology PORT [list]\n"
        "       ztctl symbology PORT get GROUP ITEM | get NAME\n"
        "       ztctl symbology PORT set GROUP ITEM VALUE | set NAME VALUE\n"
        "Lists, reads or writes the symbology options of one scanner. 'list' (the default) reads all of\n"
        "them and prints GROUP ITEM VALUE NAME. A NAME is matched without regard to letter case; quote it.\n"
        "The Interleaved 2 of 5 minimum length must not exceed the maximum length (checked against the\n"
        "scanner's other bound before writing).\n\n"
        "group item default values name\n";
    for (const auto& option : zt::wire::kShownSymbologyOptions) {
        char line[128];
        std::snprintf(line, sizeof line, "%5d %4d %7d 0..%-4d %.*s\n", option.group, option.item, option.defaultValue,
                      option.maxValue, static_cast<int>(option.name.size()), option.name.data());
        text += line;
    }
    return text;
}

}  // namespace

const std::string_view kSymbologyHelp = [] {
    static const std::string text = symbologyHelpText();
    return std::string_view(text);
}();

namespace {

constexpr unsigned kMaxCode = 65535;

struct Request {
    enum class Action { List, Get, Set } action = Action::List;
    const SymbologyOption* option = nullptr;
    int value = 0;
};

// Takes the option from the front of `words` (GROUP ITEM, or a NAME); returns how many words it used.
std::size_t takeOption(Words words, const SymbologyOption*& option) {
    if (words.empty()) throw UsageError("no symbology option given");
    if (parsePort(words[0]).match == PortMatch::NotPort) {  // not a number: a name
        option = offered(zt::wire::findSymbology(words[0]));
        if (option == nullptr) throw UsageError("unknown symbology option '" + displayForm(words[0]) + "'");
        return 1;
    }
    if (words.size() < 2) throw UsageError("a symbology option is GROUP ITEM or NAME");
    const auto group = static_cast<int>(parseNumber(words[0], "group", 0, kMaxCode));
    const auto item = static_cast<int>(parseNumber(words[1], "item", 0, kMaxCode));
    option = offered(zt::wire::findSymbology(group, item));
    if (option == nullptr) {
        throw UsageError("no symbology option " + std::to_string(group) + " " + std::to_string(item) +
                         " (see 'ztctl symbology --help')");
    }
    return 2;
}

Request parseRequest(Words words) {
    Request request;
    if (words.empty() || words[0] == "list") {
        if (words.size() > 1) throw UsageError("list takes no arguments");
        return request;
    }
    const bool set = words[0] == "set";
    if (!set && words[0] != "get") throw UsageError("unknown action '" + displayForm(words[0]) + "' (list, get, set)");
    request.action = set ? Request::Action::Set : Request::Action::Get;
    const auto used = takeOption(words.subspan(1), request.option);
    const auto rest = words.subspan(1 + used);
    if (rest.size() != (set ? 1U : 0U)) throw UsageError(set ? "set takes one value" : "get takes no value");
    if (set) {
        const auto max = static_cast<unsigned>(request.option->maxValue);
        request.value = static_cast<int>(parseNumber(rest[0], std::string(request.option->name), 0, max));
    }
    return request;
}

bool listOptions(const OpenScanner& scanner) {
    for (const auto& option : zt::wire::kShownSymbologyOptions) {
        int value = 0;
        const int rc = ztGetSymbologyOption(scanner.handle(), option.group, option.item, &value);
        if (rc != SDK_OK) {
            reportFailure(scanner.port(), rc, option.name);
            return false;
        }
        std::printf("%2d %2d %3d  %.*s\n", option.group, option.item, value, static_cast<int>(option.name.size()),
                    option.name.data());
    }
    return true;
}

// The other Interleaved 2 of 5 length bound must still hold after writing `request`. Returns false, with
// the reason on stderr, when it would not; `refused` tells a refusal from a failed read.
bool lengthBoundsHold(const OpenScanner& scanner, const Request& request, bool& refused) {
    const auto& option = *request.option;
    if (option.group != zt::wire::kInterleaved2of5Group ||
        (option.item != zt::wire::kMinLengthItem && option.item != zt::wire::kMaxLengthItem))
        return true;
    const bool settingMin = option.item == zt::wire::kMinLengthItem;
    int other = 0;
    const int otherItem = settingMin ? zt::wire::kMaxLengthItem : zt::wire::kMinLengthItem;
    const int rc = ztGetSymbologyOption(scanner.handle(), zt::wire::kInterleaved2of5Group, otherItem, &other);
    if (rc != SDK_OK) {
        reportFailure(scanner.port(), rc, "reading the other length bound");
        return false;
    }
    if (settingMin ? request.value <= other : request.value >= other) return true;
    refused = true;
    std::fprintf(stderr, "%s: %s %d would be %s the %s length %d; nothing was written\n",
                 portLabel(scanner.port()).c_str(), std::string(option.name).c_str(), request.value,
                 settingMin ? "above" : "below", settingMin ? "maximum" : "minimum", other);
    return false;
}

bool runRequest(const OpenScanner& scanner, const Request& request, bool& refused) {
    if (request.action == Request::Action::List) return listOptions(scanner);
    const auto& option = *request.option;
    if (request.action == Request::Action::Get) {
        int value = 0;
        const int rc = ztGetSymbologyOption(scanner.handle(), option.group, option.item, &value);
        if (rc != SDK_OK) {
            reportFailure(scanner.port(), rc, option.name);
            return false;
        }
        std::printf("%d\n", value);
        return true;
    }
    if (!lengthBoundsHold(scanner, request, refused)) return false;
    const int rc = ztSetSymbologyOption(scanner.handle(), option.group, option.item, request.value);
    if (rc != SDK_OK) {
        reportFailure(scanner.port(), rc, option.name);
        return false;
    }
    std::printf("%s: %s set to %d\n", portLabel(scanner.port()).c_str(), std::string(option.name).c_str(),
                request.value);
    return true;
}

}  // namespace

int runSymbology(const Context& context, Words args) {
    const Arguments arguments(args, {});
    if (printedHelp(arguments, kSymbologyHelp)) return kExitOk;
    const auto words = arguments.positionals();
    if (words.empty()) throw UsageError("symbology takes PORT [list|get|set ...]");
    const std::vector<unsigned> ports{requirePort(words[0])};
    const auto request = parseRequest(words.subspan(1));
    bool refused = false;
    const int status = runOnScanners(context, ports, ScannerNames{}, false, Opening::Together,
                                     [&](OpenScanner& scanner) { return runRequest(scanner, request, refused); });
    return refused ? kExitUsage : status;
}

}  // namespace ztctl

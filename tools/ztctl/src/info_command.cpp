// ztctl info: everything a scanner reports about itself, one block (or one JSON object) per scanner.
#include "commands_impl.h"

#include "interruptible.h"
#include "json.h"
#include "ports.h"
#include "scanner_run.h"
#include "sdk_result.h"
#include "setting_keys.h"
#include "setting_read.h"

#include <cstdio>
#include <string>

namespace ztctl {

const std::string_view kInfoHelp =
    "usage: ztctl info PORT... [--json]\n"
    "Opens each scanner and shows its image version, serial number, Bluetooth ID, battery, storage,\n"
    "clock, buzzer volume, both beep delays, scan mode and value, prefix and suffix (backslash\n"
    "notation), power-save time and the six flags, under the names that 'ztctl keys' lists.\n"
    "A value that cannot be read is reported on stderr; after a scanner stops answering, the rest of\n"
    "its values are skipped.\n"
    "Live barcodes that scanners send meanwhile are reported on stderr.\n"
    "  --json   one JSON object per scanner; values that could not be read are null; live barcodes as\n"
    "           JSON lines on stderr, as 'ztctl listen --json' prints them\n";

namespace {

struct InfoItem {
    const SettingKey* key;
    bool read = false;
    Reading reading;
};

// Reads every info key; stops asking once the scanner is gone or silent.
std::vector<InfoItem> readInfo(const OpenScanner& scanner, std::stop_token stop, bool& allRead) {
    std::vector<InfoItem> items;
    bool linkDown = false;
    for (const auto& key : settingKeys()) {
        if (!key.inInfo) continue;
        InfoItem item{&key, false, {}};
        if (!linkDown && !stop.stop_requested()) {
            const int rc = readSetting(scanner, key, item.reading, item.read);
            linkDown = linkFailure(rc);
        }
        allRead = allRead && item.read;
        items.push_back(std::move(item));
    }
    if (linkDown || stop.stop_requested()) {
        std::fprintf(stderr, "%s: the remaining values were not read\n", portLabel(scanner.port()).c_str());
    }
    return items;
}

std::string asText(const OpenScanner& scanner, const std::vector<InfoItem>& items) {
    std::string out = scanner.label() + "\n";
    for (const auto& item : items) {
        std::string name(item.key->name);
        name += ':';
        name.resize(24, ' ');
        out += "  " + name + (item.read ? item.reading.text : std::string("(not read)")) + "\n";
    }
    return out;
}

std::string asJson(const OpenScanner& scanner, const std::vector<InfoItem>& items) {
    JsonObject object;
    object.add("port", portLabel(scanner.port()));
    if (scanner.name()) {
        object.add("name", *scanner.name());
    } else {
        object.addNull("name");
    }
    for (const auto& item : items) {
        if (item.read) {
            object.addRaw(jsonName(item.key->name), item.reading.json);
        } else {
            object.addNull(jsonName(item.key->name));
        }
    }
    return object.str() + "\n";
}

}  // namespace

int runInfo(const Context& context, Words args) {
    const Arguments arguments(args, {{"--json", false}});
    if (printedHelp(arguments, kInfoHelp)) return kExitOk;
    const auto ports = parsePorts(arguments.positionals());
    const bool json = arguments.has("--json");
    const ScannerNames names(searchPairedScanners());
    LiveReports reports(names, json);
    return runInterruptible(context.signals, reports, [&](std::stop_token stop) {
        return forEachScanner({ports, names, reports.sink(), Opening::Together}, stop, [&](OpenScanner& scanner) {
            bool allRead = true;
            const auto items = readInfo(scanner, stop, allRead);
            const auto text = json ? asJson(scanner, items) : asText(scanner, items);
            std::fputs(text.c_str(), stdout);
            std::fflush(stdout);
            return allRead;
        });
    });
}

}  // namespace ztctl

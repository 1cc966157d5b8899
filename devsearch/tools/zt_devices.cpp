// zt-devices: prints the scanners that the device search finds, or checks a registry hive file.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "zt/client/arguments.h"
#include "zt/registry/registry.h"
#include "zt/registry/registry_text.h"
#include "ztdevsearch.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitIssues = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "Usage: zt-devices [--registry FILE] [--check]\n"
    "Lists the barcode scanners paired with this machine, one per line: the port number N\n"
    "(/dev/rfcommN), a tab, and the scanner's Bluetooth name.\n"
    "\n"
    "  --registry FILE  read the registry hive FILE instead of $ZT_REGISTRY or\n"
    "                   /etc/zt330/registry.reg\n"
    "  --check          do not search; report each malformed line of the hive as FILE:LINE: message\n"
    "  --help           show this text\n"
    "\n"
    "Exit status: 0 done, 1 the check found malformed lines, 2 bad arguments.\n";

struct Options {
    std::optional<std::string> registry;
    bool check = false;
    bool help = false;
};

[[nodiscard]] std::optional<Options> parseArguments(int argc, char** argv) {
    const std::vector<std::string_view> words(argv + 1, argv + argc);
    try {
        const zt::client::Arguments arguments(words, {{"--registry", true}, {"--check", false}});
        if (!arguments.positionals().empty()) {
            throw zt::client::UsageError("unexpected argument '" + std::string(arguments.positionals()[0]) + "'");
        }
        Options options;
        options.help = arguments.help();
        options.check = arguments.has("--check");
        if (const auto registry = arguments.value("--registry")) options.registry = std::string(*registry);
        return options;
    } catch (const zt::client::UsageError& error) {
        std::fprintf(stderr, "zt-devices: %s\n", error.what());
        return std::nullopt;
    }
}

// Names come from other devices over the air: control characters are not passed to the terminal.
[[nodiscard]] std::string printable(std::wstring_view name) {
    std::wstring clean(name);
    for (wchar_t& c : clean)
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) c = L'?';
    return zt::registry::wideToUtf8(clean);
}

int checkHive(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        std::fprintf(stderr, "%s: no such file; the search reads it as an empty registry\n", path.c_str());
        return kExitOk;
    }
    std::vector<zt::registry::RegistryIssue> issues;
    static_cast<void>(zt::registry::RegistryHive::fromFile(path, &issues));
    for (const auto& issue : issues) std::printf("%s:%zu: %s\n", path.c_str(), issue.line, issue.message.c_str());
    return issues.empty() ? kExitOk : kExitIssues;
}

int listScanners() {
    DeviceRecordList list;
    SearchingDevice(list);
    // The list owns nothing; the records are ours to delete.
    std::vector<std::unique_ptr<DeviceRecord>> records(list.begin(), list.end());
    for (const auto& record : records) std::printf("%d\t%s\n", record->GetPort(), printable(record->GetName()).c_str());
    if (records.empty()) std::fprintf(stderr, "no scanner found\n");
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    const auto options = parseArguments(argc, argv);
    if (!options) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    if (options->help) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    // The library reads the hive named by the environment; the option only sets it for this process.
    if (options->registry && ::setenv("ZT_REGISTRY", options->registry->c_str(), 1) != 0) return kExitUsage;
    if (options->check) return checkHive(zt::registry::RegistryHive::systemPath());
    return listScanners();
}

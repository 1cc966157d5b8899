// Platform stack: HKLM\SOFTWARE\Microsoft\Bluetooth\device has one subkey per paired device, named by
// its address, with the device's "name"; HKLM\SOFTWARE\Microsoft\Bluetooth\Serial\Ports has one subkey
// per bound serial port, named by four characters and then the device address, whose "Port" value
// reads like "COM8:".
#include <algorithm>

#include "port_number.h"
#include "registry_search.h"
#include "trace.h"
#include "zt/registry/registry_text.h"

namespace zt::devsearch {
namespace {

using registry::RegistryKey;

constexpr std::string_view kPortsPath = "SOFTWARE\\Microsoft\\Bluetooth\\Serial\\Ports";
constexpr std::size_t kPortSubkeyPrefix = 4;  // characters before the device address
constexpr std::size_t kComPrefix = 3;         // "COM" before the port number

enum class Step { Next, Stop };

[[nodiscard]] std::optional<std::wstring> readText(const RegistryKey& key, std::string_view valueName) {
    const registry::RegistryValue* value = key.value(valueName);
    if (value == nullptr) return std::nullopt;
    return value->wideText();
}

class PlatformStackSearch {
public:
    PlatformStackSearch(const RegistryKey& devices, const RegistryKey& ports) : devices_(devices), ports_(ports) {}

    // The scanners in enumeration order. Stops early, keeping what it found, where a key or value
    // that should be there cannot be opened or read.
    [[nodiscard]] std::vector<FoundDevice> run() {
        std::vector<FoundDevice> found;
        for (std::size_t i = 0; const auto address = devices_.subkeyName(i); ++i)
            if (visitDevice(*address, found) == Step::Stop) break;
        return found;
    }

private:
    Step visitDevice(std::string_view address, std::vector<FoundDevice>& found) const {
        const auto device = devices_.openSubkey(address);
        if (!device) return Step::Stop;
        const auto name = readText(*device, "name");
        if (!name) return Step::Stop;
        if (!isScannerName(*name)) return Step::Next;
        const auto portSubkey = findPortSubkey(registry::utf8ToWide(address));
        if (!portSubkey) return Step::Next;  // paired but no serial port bound
        const auto portKey = ports_.openSubkey(*portSubkey);
        if (!portKey) return Step::Stop;
        const auto portValue = readText(*portKey, "Port");
        if (!portValue) return Step::Stop;
        const auto port = comPortNumber(*portValue);
        if (!port) {
            trace("registry: unreadable port value for a scanner; skipped");
            return Step::Next;
        }
        found.push_back(FoundDevice{*port, *name});
        return Step::Next;
    }

    // The first port subkey whose name, from its fifth character on, is the device address (letter
    // case matters). Names of four characters or fewer belong to no device.
    [[nodiscard]] std::optional<std::string_view> findPortSubkey(std::wstring_view address) const {
        for (std::size_t i = 0; const auto name = ports_.subkeyName(i); ++i) {
            const std::wstring wide = registry::utf8ToWide(*name);
            if (wide.size() > kPortSubkeyPrefix && std::wstring_view(wide).substr(kPortSubkeyPrefix) == address)
                return name;
        }
        return std::nullopt;
    }

    // "COM8:" -> 8: the digits after the first three characters.
    [[nodiscard]] static std::optional<std::int32_t> comPortNumber(std::wstring_view value) noexcept {
        if (value.size() <= kComPrefix) return std::nullopt;
        return leadingDecimal(value.substr(kComPrefix));
    }

    const RegistryKey& devices_;
    const RegistryKey& ports_;
};

}  // namespace

std::vector<FoundDevice> searchPlatformStack(const registry::RegistryHive& hive, const RegistryKey& devices) {
    const auto ports = hive.openLocalMachine(kPortsPath);
    if (!ports) {
        trace("registry: platform stack without serial ports key");
        return {};
    }
    std::vector<FoundDevice> found = PlatformStackSearch(devices, *ports).run();
    // Each record goes to the front of the caller's list: the last one enumerated comes first.
    std::reverse(found.begin(), found.end());
    return found;
}

}  // namespace zt::devsearch

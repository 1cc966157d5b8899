// Widcomm stack: HKLM\Software\WIDCOMM\BTConfig\AutoConnect has subkeys named by port number; only the
// first is looked at, and its "BDName" holds the device name as 8-bit text.
#include <span>

#include "port_number.h"
#include "registry_search.h"
#include "trace.h"
#include "zt/registry/registry_text.h"

namespace zt::devsearch {
namespace {

constexpr std::string_view kAutoConnectPath = "Software\\WIDCOMM\\BTConfig\\AutoConnect";

// One wide character per byte up to the first zero byte. The byte is taken as signed, so that a byte
// b of 0x80 or more becomes 0xFF00 + b, as the stack's own readers of this value show it.
[[nodiscard]] std::wstring bdNameToWide(std::span<const std::uint8_t> bytes) {
    std::wstring name;
    for (std::uint8_t b : bytes) {
        if (b == 0) break;
        name.push_back(static_cast<wchar_t>(b < 0x80 ? b : 0xFF00 + b));
    }
    return name;
}

}  // namespace

SearchResult searchWidcomm(const registry::RegistryHive& hive) {
    const auto autoConnect = hive.openLocalMachine(kAutoConnectPath);
    if (!autoConnect) {
        trace("registry: neither Bluetooth stack's keys");
        return std::nullopt;
    }
    trace("registry: Widcomm stack");
    std::vector<FoundDevice> found;
    const auto first = autoConnect->subkeyName(0);
    if (!first) return found;
    const auto entry = autoConnect->openSubkey(*first);
    const registry::RegistryValue* bdName = entry ? entry->value("BDName") : nullptr;
    if (bdName == nullptr) return found;
    const std::wstring name = bdNameToWide(bdName->data);
    const auto port = leadingDecimal(registry::utf8ToWide(*first));
    if (port && isScannerName(name)) found.push_back(FoundDevice{*port, name});
    return found;
}

}  // namespace zt::devsearch

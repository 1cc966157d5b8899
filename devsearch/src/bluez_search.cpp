#include "bluez_search.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "trace.h"
#include "zt/registry/registry_text.h"

namespace zt::devsearch {
namespace {

[[nodiscard]] bool sameAddress(std::string_view a, std::string_view b) noexcept {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
    });
}

[[nodiscard]] std::string upperCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

[[nodiscard]] std::wstring displayName(const Pairing& device) {
    if (device.name && !device.name->empty()) return registry::utf8ToWide(*device.name);
    return registry::utf8ToWide(device.alias.value_or(std::string()));
}

[[nodiscard]] const Pairing* pairedScanner(const std::vector<Pairing>& devices, std::string_view address) {
    const auto it = std::find_if(devices.begin(), devices.end(), [address](const Pairing& device) {
        return device.paired && sameAddress(device.address, address) && isScannerName(displayName(device));
    });
    return it == devices.end() ? nullptr : &*it;
}

}  // namespace

SearchResult searchBluez(RfcommBindingSource& ttys, PairingSource& pairings) {
    std::vector<RfcommBinding> bound = ttys.bindings();
    if (bound.empty()) {
        trace("bluez: no bound RFCOMM tty");
        return std::nullopt;
    }
    const auto devices = pairings.devices();
    if (!devices) return std::nullopt;
    std::sort(bound.begin(), bound.end(), [](const auto& a, const auto& b) { return a.port < b.port; });
    std::vector<FoundDevice> found;
    std::set<std::string> listed;  // addresses already given their lowest tty
    for (const RfcommBinding& tty : bound) {
        const Pairing* device = pairedScanner(*devices, tty.address);
        if (device == nullptr || !listed.insert(upperCase(tty.address)).second) continue;
        found.push_back(FoundDevice{tty.port, displayName(*device)});
    }
    return found;
}

}  // namespace zt::devsearch

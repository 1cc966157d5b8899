// Feeds arbitrary bytes to the .reg reader and walks what it built.
#include <cstddef>
#include <cstdint>
#include <span>

#include "zt/registry/registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<zt::registry::RegistryIssue> issues;
    const auto hive = zt::registry::RegistryHive::fromBytes(std::span(data, size), &issues);
    for (const char* root : {"HKLM", "HKCU"}) {
        const auto key = hive.openKey(root);
        if (!key) continue;
        for (std::size_t i = 0; const auto name = key->subkeyName(i); ++i) static_cast<void>(key->openSubkey(*name));
        for (std::size_t i = 0; const auto* value = key->valueAt(i); ++i) static_cast<void>(value->wideText());
    }
    return 0;
}

#include "registry_search.h"

#include "trace.h"

namespace zt::devsearch {
namespace {

constexpr std::string_view kPlatformDevicesPath = "SOFTWARE\\Microsoft\\Bluetooth\\device";

}  // namespace

SearchResult searchRegistry(const registry::RegistryHive& hive) {
    if (const auto devices = hive.openLocalMachine(kPlatformDevicesPath)) {
        trace("registry: platform Bluetooth stack");
        return searchPlatformStack(hive, *devices);
    }
    return searchWidcomm(hive);
}

}  // namespace zt::devsearch

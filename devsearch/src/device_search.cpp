#include "device_search.h"

#include "bluez_search.h"
#include "registry_search.h"

namespace zt::devsearch {

SearchResult searchDevices(const registry::RegistryHive& hive, RfcommBindingSource& ttys, PairingSource& pairings) {
    if (SearchResult fromRegistry = searchRegistry(hive)) return fromRegistry;
    return searchBluez(ttys, pairings);
}

}  // namespace zt::devsearch

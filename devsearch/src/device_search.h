// The whole search: the registry stacks first and exactly; BlueZ only where the hive has neither.
#pragma once

#include "found_device.h"
#include "pairing_source.h"
#include "rfcomm_bindings.h"
#include "zt/registry/registry.h"

namespace zt::devsearch {

[[nodiscard]] SearchResult searchDevices(const registry::RegistryHive& hive, RfcommBindingSource& ttys,
                                         PairingSource& pairings);

}  // namespace zt::devsearch

// The two registry procedures: the platform Bluetooth stack's pairings and serial ports, or the
// Widcomm stack's auto-connect entry. The platform stack is used whenever its device key exists.
#pragma once

#include "found_device.h"
#include "zt/registry/registry.h"

namespace zt::devsearch {

// Nothing when neither HKLM\SOFTWARE\Microsoft\Bluetooth\device nor
// HKLM\Software\WIDCOMM\BTConfig\AutoConnect exists; otherwise that stack's scanners.
[[nodiscard]] SearchResult searchRegistry(const registry::RegistryHive& hive);

// The platform stack's procedure, given its open device key.
[[nodiscard]] std::vector<FoundDevice> searchPlatformStack(const registry::RegistryHive& hive,
                                                           const registry::RegistryKey& devices);

// The Widcomm procedure: at most one scanner. Nothing when the AutoConnect key does not exist.
[[nodiscard]] SearchResult searchWidcomm(const registry::RegistryHive& hive);

}  // namespace zt::devsearch

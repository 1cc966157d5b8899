// The two registry procedures: the platform Bluetooth stack's pairings and serial ports, or the
// Widcomm stack's auto-connect entry. The platform stack is used whenever its device key exists.
#pragma once

#include "found_device.h"
#include "zt/platform/registry.h"

namespace zt::devsearch {

// Nothing when neither HKLM\SOFTWARE\Microsoft\Bluetooth\device nor
// HKLM\Software\WIDCOMM\BTConfig\AutoConnect exists; otherwise that stack's scanners.
[[nodiscard]] SearchResult searchRegistry(const platform::RegistryHive& hive);

// The platform stack's procedure, given its open device key.
[[nodiscard]] std::vector<FoundDevice> searchPlatformStack(const platform::RegistryHive& hive,
                                                           const platform::RegistryKey& devices);

// The Widcomm procedure: at most one scanner. Nothing when the AutoConnect key does not exist.
[[nodiscard]] SearchResult searchWidcomm(const platform::RegistryHive& hive);

}  // namespace zt::devsearch

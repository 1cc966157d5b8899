// Reads BlueZ's devices out of an ObjectManager.GetManagedObjects reply, a{oa{sa{sv}}}.
#pragma once

#include <systemd/sd-bus.h>

#include <optional>
#include <vector>

#include "pairing_source.h"

namespace zt::devsearch {

// Every object with an org.bluez.Device1 interface and an Address; nothing when the reply does not
// have the expected shape. Properties of unexpected types are ignored.
[[nodiscard]] std::optional<std::vector<Pairing>> readManagedDevices(sd_bus_message* reply);

}  // namespace zt::devsearch

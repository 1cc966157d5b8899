// Scanners on a BlueZ system: paired devices named with the model word whose address has a bound
// RFCOMM tty; the tty number is the port number.
#pragma once

#include "found_device.h"
#include "pairing_source.h"
#include "rfcomm_bindings.h"

namespace zt::devsearch {

// Nothing (the caller's list stays unchanged) when no tty is bound or BlueZ cannot be asked; BlueZ is
// not asked at all when no tty is bound. Otherwise one scanner per address, on its lowest-numbered tty,
// ordered by port number. The name is BlueZ's Name, or its Alias where the remote name is unknown.
[[nodiscard]] SearchResult searchBluez(RfcommBindingSource& ttys, PairingSource& pairings);

}  // namespace zt::devsearch

// BlueZ's devices over D-Bus: one GetManagedObjects call on org.bluez at "/" (BlueZ asks that its
// storage folder not be read directly). The whole exchange, connection included, has one short
// deadline, so a machine without a bus or without BlueZ answers at once and a stuck one within it.
#pragma once

#include <chrono>
#include <string>

#include "pairing_source.h"

namespace zt::devsearch {

// Connecting, authenticating and the call together; BlueZ answers within milliseconds when it runs.
inline constexpr std::chrono::milliseconds kBusDeadline{1000};

class BluezPairingSource final : public PairingSource {
public:
    // busAddress: a D-Bus address such as "unix:path=/run/dbus/system_bus_socket".
    explicit BluezPairingSource(std::string busAddress, std::chrono::milliseconds deadline = kBusDeadline)
        : address_(std::move(busAddress)), deadline_(deadline) {}

    // $ZT_DBUS_ADDRESS, else $DBUS_SYSTEM_BUS_ADDRESS, else the system bus socket.
    [[nodiscard]] static std::string configuredAddress();

    [[nodiscard]] std::optional<std::vector<Pairing>> devices() override;

private:
    std::string address_;
    std::chrono::milliseconds deadline_;
};

}  // namespace zt::devsearch

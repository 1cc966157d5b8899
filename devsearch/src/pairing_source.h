// Where BlueZ pairings come from: D-Bus in the library, a fake in unit tests.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zt::devsearch {

// One Bluetooth device as BlueZ describes it (its org.bluez.Device1 properties).
struct Pairing {
    std::string address;               // "00:11:22:33:44:55"
    std::optional<std::string> name;   // the remote name, when known (UTF-8)
    std::optional<std::string> alias;  // the name shown to the user (UTF-8)
    bool paired = false;
};

class PairingSource {
public:
    virtual ~PairingSource() = default;
    // Every device BlueZ knows, paired or not; nothing when BlueZ cannot be asked (no bus, no BlueZ,
    // no answer in time).
    [[nodiscard]] virtual std::optional<std::vector<Pairing>> devices() = 0;

protected:
    PairingSource() = default;
    PairingSource(const PairingSource&) = default;
    PairingSource& operator=(const PairingSource&) = default;
};

}  // namespace zt::devsearch

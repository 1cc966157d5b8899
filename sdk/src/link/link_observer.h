// What the serial link reports upwards: a lost port and packets the scanner sent on its own.
#pragma once

#include "zt/protocol/wire.h"

#include <cstdint>
#include <span>

namespace zt::sdk {

class LinkObserver {
public:
    // The port became invalid (the scanner is gone). Called on the receive or connection thread.
    virtual void onPortLost(int port) = 0;
    // A scan or deleted-data packet; `record` is valid only during the call. Called on the receive thread.
    virtual void onScannerPacket(int port, wire::PacketType type, std::span<const std::uint8_t> record) = 0;

protected:
    ~LinkObserver() = default;
};

}  // namespace zt::sdk

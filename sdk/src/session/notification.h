// Events that the SDK's threads post to the event dispatcher.
#pragma once

#include <cstdint>
#include <vector>

namespace zt::sdk {

struct Notification {
    enum class Kind { Disconnected, ScanData, DeletedData };

    Kind kind = Kind::Disconnected;
    int port = 0;
    // The handle that posted it: a port number can be reused by a newer handle before this is handled.
    std::uint64_t handleId = 0;
    // Scan record, zero-terminated text guaranteed; owned by the notification.
    std::vector<std::uint8_t> record;
};

}  // namespace zt::sdk

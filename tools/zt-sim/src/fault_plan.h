// Faults queued for the next requests. Each fault covers a number of requests counted from when it was
// queued; faults covering the same request combine.
#pragma once

#include "zt/sim/simulator.h"

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace zt::sim {

struct ScannerPacket {
    wire::PacketType type;
    Bytes record;
};

// Everything that goes wrong with the answer to one request.
struct RequestFaults {
    bool silent = false;
    bool wrongCode = false;
    bool wrongSeq = false;
    std::optional<std::uint8_t> retry;
    std::vector<ResponseMutation> mutations;
    bool refused = false;
    Bytes noise;
    int pieces = 1;
    std::chrono::milliseconds gap{0};
    std::vector<ScannerPacket> packetsBefore;
};

class FaultPlan {
public:
    using Apply = std::function<void(RequestFaults&)>;

    // Queues `apply` for the next `requests` requests; a count below 1 queues nothing.
    void add(int requests, Apply apply);
    // The faults of the request that just arrived; uses up one request of every queued fault.
    [[nodiscard]] RequestFaults takeNext();

private:
    struct Entry {
        int remaining;
        Apply apply;
    };

    std::mutex mutex_;
    std::vector<Entry> entries_;
};

}  // namespace zt::sim

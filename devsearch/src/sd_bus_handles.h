// Owning handles for sd-bus objects.
#pragma once

#include <systemd/sd-bus.h>

#include <memory>

namespace zt::devsearch {

struct BusCloser {
    // No flush: a peer that stopped reading must not hold the caller.
    void operator()(sd_bus* bus) const noexcept { sd_bus_close_unref(bus); }
};
struct MessageReleaser {
    void operator()(sd_bus_message* message) const noexcept { sd_bus_message_unref(message); }
};
struct SlotReleaser {
    void operator()(sd_bus_slot* slot) const noexcept { sd_bus_slot_unref(slot); }
};

using BusHandle = std::unique_ptr<sd_bus, BusCloser>;
using MessageHandle = std::unique_ptr<sd_bus_message, MessageReleaser>;
using SlotHandle = std::unique_ptr<sd_bus_slot, SlotReleaser>;

}  // namespace zt::devsearch

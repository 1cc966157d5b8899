#include "bluez_pairing_source.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "managed_objects_reader.h"
#include "sd_bus_handles.h"
#include "trace.h"

namespace zt::devsearch {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kSystemBusAddress = "unix:path=/run/dbus/system_bus_socket";

struct PendingReply {
    MessageHandle reply;
    bool done = false;
};

int onReply(sd_bus_message* reply, void* userdata, sd_bus_error* /*error*/) {
    auto* pending = static_cast<PendingReply*>(userdata);
    pending->reply.reset(sd_bus_message_ref(reply));
    pending->done = true;
    return 0;
}

// Whether an sd-bus result is a success; a failure is traced.
[[nodiscard]] bool succeeded(int r, const char* step) {
    if (r >= 0) return true;
    trace(std::string("bluez: ") + step + ": " + std::strerror(-r));
    return false;
}

[[nodiscard]] std::uint64_t microseconds(Clock::duration d) {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(d).count());
}

// Starts a client connection; authentication and the bus's Hello finish while the call is pending.
[[nodiscard]] BusHandle startBus(const std::string& address, std::chrono::milliseconds timeout) {
    sd_bus* raw = nullptr;
    if (!succeeded(sd_bus_new(&raw), "new")) return {};
    BusHandle bus(raw);
    const bool started = succeeded(sd_bus_set_address(raw, address.c_str()), "address") &&
                         succeeded(sd_bus_set_bus_client(raw, 1), "client") &&
                         // Bounds Hello and the call itself; awaitReply bounds everything else.
                         succeeded(sd_bus_set_method_call_timeout(raw, microseconds(timeout)), "timeout") &&
                         succeeded(sd_bus_start(raw), "connect");
    return started ? std::move(bus) : BusHandle();
}

// Runs the bus until the reply is in or the deadline passes.
[[nodiscard]] bool awaitReply(sd_bus* bus, const PendingReply& pending, Clock::time_point deadline) {
    while (!pending.done) {
        const int processed = sd_bus_process(bus, nullptr);
        if (!succeeded(processed, "process")) return false;
        if (processed > 0) continue;
        const auto now = Clock::now();
        if (now >= deadline) {
            trace("bluez: no answer in time");
            return false;
        }
        const int waited = sd_bus_wait(bus, microseconds(deadline - now));
        if (waited != -EINTR && !succeeded(waited, "wait")) return false;
    }
    return true;
}

}  // namespace

std::string BluezPairingSource::configuredAddress() {
    for (const char* variable : {"ZT_DBUS_ADDRESS", "DBUS_SYSTEM_BUS_ADDRESS"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return value;
    }
    return kSystemBusAddress;
}

std::optional<std::vector<Pairing>> BluezPairingSource::devices() {
    const auto deadline = Clock::now() + deadline_;
    const BusHandle bus = startBus(address_, deadline_);
    if (!bus) return std::nullopt;
    PendingReply pending;
    sd_bus_slot* rawSlot = nullptr;
    if (!succeeded(sd_bus_call_method_async(bus.get(), &rawSlot, "org.bluez", "/", "org.freedesktop.DBus.ObjectManager",
                                            "GetManagedObjects", onReply, &pending, nullptr),
                   "call"))
        return std::nullopt;
    const SlotHandle slot(rawSlot);  // released before bus: it refers to pending
    if (!awaitReply(bus.get(), pending, deadline)) return std::nullopt;
    if (const sd_bus_error* error = sd_bus_message_get_error(pending.reply.get())) {
        trace(std::string("bluez: ") + (error->name != nullptr ? error->name : "error reply"));
        return std::nullopt;
    }
    auto devices = readManagedDevices(pending.reply.get());
    if (!devices) trace("bluez: unexpected reply");
    return devices;
}

}  // namespace zt::devsearch

// The byte stream under the serial link: a termios tty for scanners, an in-memory pipe for tests.
//
// One Transport is one open port. The receive thread is its only reader; writers are serialised by the
// link. cancel() may be called from any thread and ends every current and later wait of this transport,
// so a receive session can always be stopped.
#pragma once

#include "zt/platform/serial_port.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

namespace zt::sdk {

using platform::IoStatus;
using platform::OpenError;

class Transport {
public:
    virtual ~Transport() = default;

    // Waits until bytes can be read (Ok), the port is lost, cancel() is called, or `timeout` passes
    // (TimedOut; also returned early when the carrier line may have changed). Negative: no limit.
    [[nodiscard]] virtual IoStatus waitReadable(std::chrono::milliseconds timeout) = 0;

    // Reads what is buffered, up to `buffer.size()` bytes; when nothing is, waits up to `firstByteTimeout`
    // for the first byte. `got` is the number of bytes read (0 unless Ok).
    [[nodiscard]] virtual IoStatus read(std::span<std::uint8_t> buffer, std::size_t& got,
                                        std::chrono::milliseconds firstByteTimeout) = 0;

    // Writes all bytes, waiting for room up to `timeout` in all.
    [[nodiscard]] virtual IoStatus writeAll(std::span<const std::uint8_t> bytes, std::chrono::milliseconds timeout) = 0;

    // The carrier-detect line, or nothing when the port has no modem lines.
    [[nodiscard]] virtual std::optional<bool> carrierDetect() const = 0;

    // Ends every wait of this transport, now and later, with Cancelled.
    virtual void cancel() = 0;
};

// Opens the port called `portName` ("COM5"); null with `error` set when it cannot.
using TransportOpener = std::function<std::unique_ptr<Transport>(std::string_view portName, OpenError& error)>;

// The shipped opener: the tty behind the port name (see platform::serialDevicePath).
[[nodiscard]] TransportOpener ttyOpener();

}  // namespace zt::sdk

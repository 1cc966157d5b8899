// Serial port over termios: the scanner's virtual COM port.
#pragma once

#include "zt/platform/unique_fd.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

namespace zt::platform {

// Device behind a port name "COM<n>": $ZT_PORT_DIR/COM<n> when ZT_PORT_DIR is set (the simulator links
// pseudo-terminals there), else /dev/rfcomm<n>, the RFCOMM tty bound for a paired scanner.
[[nodiscard]] std::filesystem::path serialDevicePath(std::string_view portName);

enum class OpenError {
    DeviceMissing,  // no such device: the path is absent or names no device
    Failed,         // any other open or line-configuration error
};

enum class IoStatus {
    Ok,
    TimedOut,   // nothing arrived within the wait
    Cancelled,  // the cancel descriptor was signalled
    Lost,       // the port is gone: hang-up, EIO, EBADF (a scanner that dropped its link)
    Failed,     // any other error
};

class SerialPort {
public:
    // Opens the device for exclusive use and sets 115200 baud, 8N1, raw, no flow control, then purges
    // both directions. Returns the error when the open or the line configuration fails.
    [[nodiscard]] static SerialPort open(std::string_view portName, OpenError& error);

    SerialPort() = default;
    [[nodiscard]] bool isOpen() const { return fd_.valid(); }
    void close() { fd_.reset(); }

    // Waits until bytes can be read (Ok), the wait times out, `cancelFd` is signalled, or the port is lost.
    // A negative timeout waits without limit.
    [[nodiscard]] IoStatus waitReadable(std::chrono::milliseconds timeout, int cancelFd) const;

    // Reads what is buffered, up to `buffer.size()` bytes; when nothing is buffered, waits up to
    // `firstByteTimeout` for the first byte. `got` is the number of bytes read (0 unless Ok).
    [[nodiscard]] IoStatus read(std::span<std::uint8_t> buffer, std::size_t& got,
                                std::chrono::milliseconds firstByteTimeout, int cancelFd) const;

    // Writes all bytes, waiting for room in the driver up to `timeout` in all.
    [[nodiscard]] IoStatus writeAll(std::span<const std::uint8_t> bytes, std::chrono::milliseconds timeout) const;

    // The carrier-detect line, or nothing when the driver has no modem lines (a pseudo-terminal).
    [[nodiscard]] std::optional<bool> carrierDetect() const;

private:
    explicit SerialPort(UniqueFd fd) : fd_(std::move(fd)) {}
    UniqueFd fd_;
};

}  // namespace zt::platform

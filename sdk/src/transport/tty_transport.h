// A scanner's serial port as a transport: the platform's termios tty, with an eventfd that cancels its waits.
#pragma once

#include "transport/transport.h"

#include "zt/platform/serial_port.h"
#include "zt/platform/unique_fd.h"

#include <memory>
#include <string_view>

namespace zt::sdk {

class TtyTransport final : public Transport {
public:
    // The opened and configured port, or null with `error` set.
    [[nodiscard]] static std::unique_ptr<TtyTransport> open(std::string_view portName, OpenError& error);

    explicit TtyTransport(platform::SerialPort port) : port_(std::move(port)) {}

    IoStatus waitReadable(std::chrono::milliseconds timeout) override;
    IoStatus read(std::span<std::uint8_t> buffer, std::size_t& got,
                  std::chrono::milliseconds firstByteTimeout) override;
    IoStatus writeAll(std::span<const std::uint8_t> bytes, std::chrono::milliseconds timeout) override;
    [[nodiscard]] std::optional<bool> carrierDetect() const override { return port_.carrierDetect(); }
    void cancel() override { cancel_.signal(); }

private:
    platform::SerialPort port_;
    platform::WakeFd cancel_;  // stays signalled once cancelled: every later wait ends at once
};

}  // namespace zt::sdk

#include "transport/tty_transport.h"

namespace zt::sdk {

std::unique_ptr<TtyTransport> TtyTransport::open(std::string_view portName, OpenError& error) {
    auto port = platform::SerialPort::open(portName, error);
    if (!port.isOpen()) return nullptr;
    return std::make_unique<TtyTransport>(std::move(port));
}

IoStatus TtyTransport::waitReadable(std::chrono::milliseconds timeout) {
    return port_.waitReadable(timeout, cancel_.fd());
}

IoStatus TtyTransport::read(std::span<std::uint8_t> buffer, std::size_t& got,
                            std::chrono::milliseconds firstByteTimeout) {
    return port_.read(buffer, got, firstByteTimeout, cancel_.fd());
}

IoStatus TtyTransport::writeAll(std::span<const std::uint8_t> bytes, std::chrono::milliseconds timeout) {
    return port_.writeAll(bytes, timeout);
}

TransportOpener ttyOpener() {
    return [](std::string_view portName, OpenError& error) -> std::unique_ptr<Transport> {
        return TtyTransport::open(portName, error);
    };
}

}  // namespace zt::sdk

// Whether a port is a USB serial adapter rather than a Bluetooth serial port: a USB port that stops
// answering is only closed, a Bluetooth one is reported lost.
#pragma once

#include <string_view>

namespace zt::sdk {

[[nodiscard]] bool isUsbSerial(std::string_view portName);

}  // namespace zt::sdk

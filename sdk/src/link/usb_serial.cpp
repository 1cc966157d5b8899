#include "link/usb_serial.h"

#include "zt/platform/registry.h"

namespace zt::sdk {

bool isUsbSerial(std::string_view portName) { return platform::isUsbSerialPort(portName); }

}  // namespace zt::sdk

#include "link/usb_serial.h"

#include "zt/registry/registry.h"

namespace zt::sdk {

bool isUsbSerial(std::string_view portName) { return registry::isUsbSerialPort(portName); }

}  // namespace zt::sdk

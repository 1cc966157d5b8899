#include "link/usb_serial.h"

namespace zt::sdk {

bool isUsbSerial(std::string_view /*portName*/) {
    // The registry's serial-port device map is not read yet: every port counts as Bluetooth.
    return false;
}

}  // namespace zt::sdk

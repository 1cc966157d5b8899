// The serial-port device map lists every serial port: value name = the driver's device, value data =
// the port name. USB serial adapters register under a device name holding "USBSER".
#include <exception>

#include "zt/platform/registry.h"

namespace zt::platform {
namespace {

constexpr std::string_view kSerialDeviceMap = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr std::string_view kUsbSerialMarker = "USBSER";

}  // namespace

bool isUsbSerialPort(const RegistryHive& hive, std::string_view portName) noexcept {
    try {
        const auto key = hive.openLocalMachine(kSerialDeviceMap);
        if (!key) return false;
        for (std::size_t i = 0; const RegistryValue* value = key->valueAt(i); ++i) {
            // Every value is looked at: one that does not describe this port never ends the search.
            if (value->text() == portName && value->name.find(kUsbSerialMarker) != std::string::npos)
                return true;
        }
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

bool isUsbSerialPort(std::string_view portName) noexcept {
    try {
        return isUsbSerialPort(RegistryHive::loadSystem(), portName);
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace zt::platform

#include "zt/sim/scanner_state.h"

#include "zt/protocol/symbology.h"

#include <chrono>
#include <stdexcept>
#include <string>

namespace zt::sim {

ScannerTime makeScannerTime(int year, unsigned month, unsigned day, unsigned hour, unsigned minute, unsigned second) {
    using namespace std::chrono;
    const year_month_day date{std::chrono::year{year}, std::chrono::month{month}, std::chrono::day{day}};
    if (!date.ok() || year < 1900 || year > 1900 + 255 || hour > 23 || minute > 59 || second > 59) {
        throw std::invalid_argument("zt-sim: no such scanner time");
    }
    return {static_cast<std::uint8_t>(year - 1900),
            static_cast<std::uint8_t>(month - 1),
            static_cast<std::uint8_t>(day),
            static_cast<std::uint8_t>(hour),
            static_cast<std::uint8_t>(minute),
            static_cast<std::uint8_t>(second),
            static_cast<std::uint8_t>(weekday{sys_days{date}}.c_encoding())};
}

std::uint8_t storagePercent(std::size_t records) {
    if (records >= kStoreCapacity) return 100;
    return static_cast<std::uint8_t>((records * 100 + kStoreCapacity - 1) / kStoreCapacity);
}

ScannerState defaultScannerState(int port) {
    ScannerState state;
    state.clock = makeScannerTime(2024, 5, 17, 10, 30, 0);
    state.batteryFirst = 100;
    state.batteryLevel = 0;
    state.storage = 0;
    state.buzzer = 3;
    state.scanMode = 0;
    state.scanValue = 0;
    for (const auto& option : wire::kSymbologyOptions) {
        state.symbology[{static_cast<std::uint8_t>(option.group), static_cast<std::uint8_t>(option.item)}] =
            static_cast<std::uint8_t>(option.defaultValue);
    }
    // A locally administered address, so it can never be a real device's; the last byte is the port.
    state.bluetoothId = {0x02, 0x5A, 0x54, 0x00, 0x00, static_cast<std::uint8_t>(port)};
    state.serial = "SIM0000" + std::to_string(port);
    state.imageVersion = {'1', '2'};
    state.pin = "0000";
    state.sleepTime = 5;
    state.connectBeepDelay = 200;
    state.disconnectBeepDelay = 400;
    return state;
}

}  // namespace zt::sim

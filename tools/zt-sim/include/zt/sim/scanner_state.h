// What a simulated scanner knows about itself: its settings, its clock and the records it stores. The
// scanner answers every parameter and collect request from this state; what the SDK writes is read back.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zt::sim {

// Clock and record time: year - 1900, month 0..11, day 1..31, hour, minute, second, day of week 0..6
// (0 is Sunday).
using ScannerTime = std::array<std::uint8_t, 7>;

// The time of the given calendar date (month 1..12) with its day of week filled in.
[[nodiscard]] ScannerTime makeScannerTime(int year, unsigned month, unsigned day, unsigned hour = 0,
                                          unsigned minute = 0, unsigned second = 0);

// One record of the scanner's store, as it goes out in a collect answer or a scan packet.
struct StoredRecord {
    std::uint8_t tag = 0;
    ScannerTime time{};
    double value1 = 0;
    double value2 = 0;
    std::string text;

    friend bool operator==(const StoredRecord&, const StoredRecord&) = default;
};

// Number of configuration flags: items 10 to 15.
inline constexpr std::size_t kFlagCount = 6;
inline constexpr std::uint16_t kFirstFlagItem = 10;

struct ScannerState {
    ScannerTime clock{};  // does not tick: reads back what was set last
    std::uint8_t batteryFirst = 0;
    std::uint8_t batteryLevel = 0;  // second battery value: 0 full, 1, 2 low
    std::uint8_t storage = 0;       // percent of the store in use
    std::uint8_t buzzer = 0;        // volume 0..3
    std::uint8_t scanMode = 0;      // 0 single, 1 continuous, 2 multiple
    std::uint32_t scanValue = 0;    // goes with modes 1 and 2
    std::string prefix;
    std::string suffix;
    std::map<std::pair<std::uint8_t, std::uint8_t>, std::uint8_t> symbology;  // (group, item) -> value
    std::array<std::uint8_t, 6> bluetoothId{};
    std::string serial;
    std::array<std::uint8_t, 2> imageVersion{};
    std::string pin;
    std::uint32_t sleepTime = 0;
    std::uint32_t connectBeepDelay = 0;
    std::uint32_t disconnectBeepDelay = 0;
    std::array<std::uint8_t, kFlagCount> flags{};  // items 10..15 in order
    std::vector<StoredRecord> records;

    friend bool operator==(const ScannerState&, const ScannerState&) = default;
};

// Records the store holds when it is full; the storage status is the part of it in use.
inline constexpr std::size_t kStoreCapacity = 10000;

// Percent of the store that `records` take, rounded up, at most 100.
[[nodiscard]] std::uint8_t storagePercent(std::size_t records);

// The settings a scanner on `port` starts with and returns to on "restore defaults"; no records.
[[nodiscard]] ScannerState defaultScannerState(int port);

}  // namespace zt::sim

// Codecs of the single-value commands: scan mode, buzzer volume, battery, storage and clock.
// Each is loaded by the exported call (get or set, values), run by the command thread, and read back by
// the exported call once the exchange finished.
#pragma once

#include "engine/command_codec.h"

#include <array>
#include <cstdint>
#include <optional>

namespace zt::sdk {

enum class Mode : std::uint8_t { Get = 0, Set = 1 };

class ScanModeCodec final : public CommandCodec {
public:
    CodecStep build(RequestBuffer& request, std::uint16_t& length) override;
    CodecStep onResponse(std::uint8_t retry, std::span<const std::uint8_t> payload, RequestBuffer& request,
                         std::uint16_t& length) override;
    Mode mode = Mode::Get;
    int scanMode = 0;
    int value = 0;
};

class BuzzerCodec final : public CommandCodec {
public:
    CodecStep build(RequestBuffer& request, std::uint16_t& length) override;
    CodecStep onResponse(std::uint8_t retry, std::span<const std::uint8_t> payload, RequestBuffer& request,
                         std::uint16_t& length) override;
    Mode mode = Mode::Get;
    int volume = 0;
};

class BatteryCodec final : public CommandCodec {
public:
    CodecStep build(RequestBuffer& request, std::uint16_t& length) override;
    CodecStep onResponse(std::uint8_t retry, std::span<const std::uint8_t> payload, RequestBuffer& request,
                         std::uint16_t& length) override;
    // The values of the last answer of the right length (0 before the first).
    int first = 0;
    int second = 0;
};

class StorageCodec final : public CommandCodec {
public:
    CodecStep build(RequestBuffer& request, std::uint16_t& length) override;
    CodecStep onResponse(std::uint8_t retry, std::span<const std::uint8_t> payload, RequestBuffer& request,
                         std::uint16_t& length) override;
    int value = 0;  // the last answer of the right length
};

using ScannerTime = std::array<std::uint8_t, 7>;

// Year − 1900 (at least 70), month 0..11, day 1..31, hour, minute, second, day of week 0..6.
[[nodiscard]] bool isValidScannerTime(const ScannerTime& time);

class TimeCodec final : public CommandCodec {
public:
    CodecStep build(RequestBuffer& request, std::uint16_t& length) override;
    CodecStep onResponse(std::uint8_t retry, std::span<const std::uint8_t> payload, RequestBuffer& request,
                         std::uint16_t& length) override;
    Mode mode = Mode::Get;
    ScannerTime time{};
    std::optional<ScannerTime> received;  // a get's clock, only from an answer of the right length
};

}  // namespace zt::sdk

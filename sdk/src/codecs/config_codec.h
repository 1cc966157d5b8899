// Configuration items (command 15): identity, PIN, image version, power save, beep delays, behaviour
// flags, erase and factory defaults. Answers to a get are checked strictly: any other form is a refusal.
#pragma once

#include "codecs/value_codecs.h"
#include "engine/command_codec.h"
#include "zt/protocol/wire.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace zt::sdk {

using wire::ConfigItem;
using wire::kBluetoothIdSize;
using wire::kImageVersionSize;
using wire::kMaxBeepDelay;
using wire::kMaxSerialLength;
using wire::kMaxSleepTime;
using wire::kPinLength;

// 1..22 characters, each 0-9, A-Z or a-z.
[[nodiscard]] bool isValidSerialNumber(std::string_view text);
// Exactly four digits.
[[nodiscard]] bool isValidPin(std::string_view text);

class ConfigCodec final : public CommandCodec {
public:
    static constexpr std::size_t kFieldSize = 64;

    CodecStep build(RequestBuffer& request, std::uint16_t& length) override;
    CodecStep onResponse(std::uint8_t retry, std::span<const std::uint8_t> payload, RequestBuffer& request,
                         std::uint16_t& length) override;

    // Loads a set with the item's data bytes (at most 64).
    void loadSet(ConfigItem item, std::span<const std::uint8_t> data);
    void loadGet(ConfigItem item);

    // A get's result, valid after result 0: the data bytes that follow the status byte (texts include
    // their terminator), and the 32-bit value of the number items.
    [[nodiscard]] std::span<const std::uint8_t> receivedData() const { return std::span(field_).first(fieldLength_); }
    [[nodiscard]] int receivedValue() const { return value_; }

private:
    [[nodiscard]] bool acceptGetAnswer(std::span<const std::uint8_t> data);

    Mode mode_ = Mode::Get;
    ConfigItem item_ = ConfigItem::BluetoothId;
    std::array<std::uint8_t, kFieldSize> field_{};  // set: data to send; get: data received
    std::size_t fieldLength_ = 0;
    int value_ = 0;
};

}  // namespace zt::sdk

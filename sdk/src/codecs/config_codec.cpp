#include "codecs/config_codec.h"

#include "codecs/byte_order.h"
#include "codecs/status.h"

#include <algorithm>
#include <cctype>

namespace zt::sdk {

namespace {

bool isAlnum(std::uint8_t c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }

// A text answer: the characters, then one zero byte that ends the answer.
bool isTerminatedText(std::span<const std::uint8_t> data, std::size_t minLength, std::size_t maxLength,
                      bool (*valid)(std::uint8_t)) {
    if (data.size() < minLength + 1 || data.size() > maxLength + 1 || data.back() != 0) return false;
    return std::all_of(data.begin(), data.end() - 1, valid);
}

}  // namespace

bool isValidSerialNumber(std::string_view text) {
    return !text.empty() && text.size() <= kMaxSerialLength &&
           std::ranges::all_of(text, [](char c) { return isAlnum(static_cast<std::uint8_t>(c)); });
}

bool isValidPin(std::string_view text) {
    return text.size() == kPinLength &&
           std::ranges::all_of(text, [](char c) { return isDigit(static_cast<std::uint8_t>(c)); });
}

void ConfigCodec::loadSet(ConfigItem item, std::span<const std::uint8_t> data) {
    mode_ = Mode::Set;
    item_ = item;
    fieldLength_ = std::min(data.size(), field_.size());
    for (std::size_t i = 0; i < fieldLength_; ++i) field_[i] = data[i];  // (copy_n trips a false -Warray-bounds)
}

void ConfigCodec::loadGet(ConfigItem item) {
    mode_ = Mode::Get;
    item_ = item;
    fieldLength_ = 0;
    value_ = 0;
}

CodecStep ConfigCodec::build(RequestBuffer& request, std::uint16_t& length) {
    const auto item = static_cast<std::uint16_t>(item_);
    request[0] = static_cast<std::uint8_t>(mode_);
    request[1] = static_cast<std::uint8_t>(item & 0xFF);
    request[2] = static_cast<std::uint8_t>(item >> 8);
    length = 3;
    if (mode_ == Mode::Set) {
        std::copy_n(field_.begin(), fieldLength_, request.begin() + 3);
        length = static_cast<std::uint16_t>(3 + fieldLength_);
    } else {
        fieldLength_ = 0;
    }
    return CodecStep::Continue;
}

CodecStep ConfigCodec::onResponse(std::uint8_t, std::span<const std::uint8_t> payload, RequestBuffer&, std::uint16_t&) {
    const CodecStep step = statusStep(payload);
    if (mode_ == Mode::Set || step == CodecStep::Refused || payload.empty() || payload[0] != kStatusDone) return step;
    return acceptGetAnswer(payload.subspan(1)) ? CodecStep::Complete : CodecStep::Refused;
}

// Checks the answer's form for the item and keeps its data; false for any other form.
bool ConfigCodec::acceptGetAnswer(std::span<const std::uint8_t> data) {
    bool ok = false;
    switch (item_) {
        case ConfigItem::BluetoothId: ok = data.size() == kBluetoothIdSize; break;
        case ConfigItem::ImageVersion: ok = data.size() == kImageVersionSize; break;
        case ConfigItem::SerialNumber: ok = isTerminatedText(data, 1, kMaxSerialLength, isAlnum); break;
        case ConfigItem::Pin: ok = isTerminatedText(data, kPinLength, kPinLength, isDigit); break;
        case ConfigItem::SleepTime:
        case ConfigItem::ConnectBeepDelay:
        case ConfigItem::DisconnectBeepDelay:
            ok = data.size() == 4;
            if (ok) value_ = static_cast<int>(getLe32(data.first<4>()));
            break;
        case ConfigItem::DeleteSignal:
        case ConfigItem::SleepModeLed:
        case ConfigItem::CancelButton:
        case ConfigItem::ScanTimeMilliseconds:
        case ConfigItem::CancelFunctionChange:
        case ConfigItem::NoScanWithoutConnection:
            ok = data.size() == 1;
            if (ok) value_ = data[0] == 1 ? 1 : 0;
            break;
        case ConfigItem::EraseAll:
        case ConfigItem::RestoreDefaults: ok = false; break;
    }
    if (ok) {
        fieldLength_ = data.size();
        std::ranges::copy(data, field_.begin());
    }
    return ok;
}

}  // namespace zt::sdk

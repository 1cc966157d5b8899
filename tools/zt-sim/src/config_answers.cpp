#include "config_answers.h"

#include "parameter_answers.h"
#include "payload_bytes.h"

#include <algorithm>
#include <optional>
#include <string>

namespace zt::sim::answers {
namespace {

using wire::kMaxBeepDelay;
using wire::kMaxSerialLength;
using wire::kMaxSleepTime;
using wire::kPinLength;

bool isDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }
bool isAlnum(std::uint8_t c) { return isDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool isFlag(std::uint16_t item) { return item >= kFirstFlagItem && item < kFirstFlagItem + kFlagCount; }

Bytes withText(const std::string& text) {
    Bytes answer;
    answer.reserve(text.size() + 2);
    answer.push_back(kDone);
    answer.insert(answer.end(), text.begin(), text.end());
    answer.push_back(0);
    return answer;
}

Bytes withNumber(std::uint32_t value) {
    Bytes answer{kDone};
    appendLe32(answer, value);
    return answer;
}

// A text set as its bytes and a zero byte; nothing unless every byte passes `allowed` and the length fits.
std::optional<std::string> textOf(std::span<const std::uint8_t> data, std::size_t minLength, std::size_t maxLength,
                                  bool (*allowed)(std::uint8_t)) {
    if (data.empty() || data.back() != 0) return std::nullopt;
    const auto text = data.first(data.size() - 1);
    if (text.size() < minLength || text.size() > maxLength) return std::nullopt;
    if (!std::ranges::all_of(text, allowed)) return std::nullopt;
    return std::string(text.begin(), text.end());
}

// A LE32 value of at most `max` as the whole data.
std::optional<std::uint32_t> numberOf(std::span<const std::uint8_t> data, std::uint32_t max) {
    PayloadReader reader(data);
    const auto value = reader.le32();
    if (!value || !reader.done() || *value > max) return std::nullopt;
    return value;
}

Bytes get(const ScannerState& state, std::uint16_t item) {
    if (isFlag(item)) return {kDone, state.flags[item - kFirstFlagItem]};
    switch (static_cast<ConfigItem>(item)) {
        case ConfigItem::BluetoothId: {
            Bytes answer{kDone};
            answer.insert(answer.end(), state.bluetoothId.begin(), state.bluetoothId.end());
            return answer;
        }
        case ConfigItem::SerialNumber: return withText(state.serial);
        case ConfigItem::ImageVersion: return {kDone, state.imageVersion[0], state.imageVersion[1]};
        case ConfigItem::Pin: return withText(state.pin);
        case ConfigItem::SleepTime: return withNumber(state.sleepTime);
        case ConfigItem::ConnectBeepDelay: return withNumber(state.connectBeepDelay);
        case ConfigItem::DisconnectBeepDelay: return withNumber(state.disconnectBeepDelay);
        default: return refused();
    }
}

// Stores `value` in `field` when there is one; the answer tells whether it was taken.
template <class T>
Bytes store(T& field, std::optional<T> value) {
    if (!value) return refused();
    field = std::move(*value);
    return {kDone};
}

Bytes set(ScannerState& state, const ScannerState& defaults, std::uint16_t item, std::span<const std::uint8_t> data) {
    if (isFlag(item)) {
        if (data.size() != 1) return refused();
        state.flags[item - kFirstFlagItem] = data[0];
        return {kDone};
    }
    switch (static_cast<ConfigItem>(item)) {
        case ConfigItem::BluetoothId:
            if (data.size() != state.bluetoothId.size()) return refused();
            std::ranges::copy(data, state.bluetoothId.begin());
            return {kDone};
        case ConfigItem::SerialNumber: return store(state.serial, textOf(data, 1, kMaxSerialLength, isAlnum));
        case ConfigItem::Pin: return store(state.pin, textOf(data, kPinLength, kPinLength, isDigit));
        case ConfigItem::SleepTime: return store(state.sleepTime, numberOf(data, kMaxSleepTime));
        case ConfigItem::ConnectBeepDelay: return store(state.connectBeepDelay, numberOf(data, kMaxBeepDelay));
        case ConfigItem::DisconnectBeepDelay: return store(state.disconnectBeepDelay, numberOf(data, kMaxBeepDelay));
        case ConfigItem::EraseAll:
            if (!data.empty()) return refused();
            state.records.clear();
            state.storage = storagePercent(0);
            return {kDone};
        case ConfigItem::RestoreDefaults: {
            if (!data.empty()) return refused();
            auto records = std::move(state.records);
            state = defaults;
            state.records = std::move(records);
            state.storage = storagePercent(state.records.size());
            return {kDone};
        }
        default: return refused();
    }
}

}  // namespace

Bytes config(ScannerState& state, const ScannerState& defaults, std::span<const std::uint8_t> request) {
    PayloadReader reader(request);
    const auto mode = reader.byte();
    const auto item = reader.le16();
    if (!mode || !item) return refused();
    if (*mode == kGet) return reader.done() ? get(state, *item) : refused();
    if (*mode == kSet) return set(state, defaults, *item, reader.rest());
    return refused();
}

}  // namespace zt::sim::answers

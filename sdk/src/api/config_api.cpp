// Configuration items: Bluetooth identity, serial number, PIN, image version, power-save time, beep
// delays, behaviour flags, erase and factory defaults.
#include "api/call_frame.h"
#include "codecs/byte_order.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

using zt::sdk::allNonNull;
using zt::sdk::argumentsOk;
using zt::sdk::callFrame;
using zt::sdk::ConfigItem;
using zt::wire::Command;
using Handle = zt::sdk::ScannerHandle;

namespace {

int setItem(ScannerHandle handle, ConfigItem item, std::span<const std::uint8_t> data, bool argumentsValid) {
    return callFrame(
        handle, [&]() -> int { return argumentsOk(argumentsValid); },
        [&](Handle& h) -> int {
            auto& codec = h.configCodec();
            codec.loadSet(item, data);
            return h.engine().submit(Command::Config, &codec);
        });
}

int setText(ScannerHandle handle, ConfigItem item, const char* text, bool (*valid)(std::string_view)) {
    if (text == nullptr || !valid(text)) return setItem(handle, item, {}, false);
    const std::string_view view(text);
    // The text and its zero byte.
    return setItem(handle, item, std::span(reinterpret_cast<const std::uint8_t*>(text), view.size() + 1), true);
}

int setNumber(ScannerHandle handle, ConfigItem item, unsigned value, unsigned limit) {
    std::array<std::uint8_t, 4> data{};
    zt::sdk::putLe32(data, value);
    return setItem(handle, item, data, value <= limit);
}

int setFlag(ScannerHandle handle, ConfigItem item, int flag) {
    const std::array<std::uint8_t, 1> data{static_cast<std::uint8_t>(flag != 0 ? 1 : 0)};
    return setItem(handle, item, data, true);
}

// Runs a get and hands the checked answer to `deliver` on result 0.
template <class Deliver>
int getItem(ScannerHandle handle, ConfigItem item, bool argumentsValid, Deliver&& deliver) {
    return callFrame(
        handle, [&]() -> int { return argumentsOk(argumentsValid); },
        [&](Handle& h) -> int {
            auto& codec = h.configCodec();
            codec.loadGet(item);
            const int result = h.engine().submit(Command::Config, &codec);
            if (result == SDK_OK) deliver(codec);
            return result;
        });
}

// Copies the answer's data bytes (at most `size`); an answer of another status leaves the buffer alone.
int getBytes(ScannerHandle handle, ConfigItem item, void* out, std::size_t size) {
    return getItem(handle, item, out != nullptr, [&](const zt::sdk::ConfigCodec& codec) {
        const auto data = codec.receivedData();
        std::memcpy(out, data.data(), std::min(data.size(), size));
    });
}

int getNumber(ScannerHandle handle, ConfigItem item, int* value) {
    return getItem(handle, item, value != nullptr,
                   [&](const zt::sdk::ConfigCodec& codec) { *value = codec.receivedValue(); });
}

int getFlag(ScannerHandle handle, ConfigItem item, unsigned char* flag) {
    return getItem(handle, item, flag != nullptr, [&](const zt::sdk::ConfigCodec& codec) {
        *flag = static_cast<unsigned char>(codec.receivedValue());
    });
}

}  // namespace

extern "C" ZT_API int ztSetBluetoothID(ScannerHandle handle, const unsigned char* id) {
    if (id == nullptr) return setItem(handle, ConfigItem::BluetoothId, {}, false);
    return setItem(handle, ConfigItem::BluetoothId, std::span(id, zt::sdk::kBluetoothIdSize), true);
}
extern "C" ZT_API int ztGetBluetoothID(ScannerHandle handle, unsigned char* id) {
    return getBytes(handle, ConfigItem::BluetoothId, id, zt::sdk::kBluetoothIdSize);
}
extern "C" ZT_API int ztSetBluetoothSerial(ScannerHandle handle, const char* serial) {
    return setText(handle, ConfigItem::SerialNumber, serial, zt::sdk::isValidSerialNumber);
}
extern "C" ZT_API int ztGetBluetoothSerial(ScannerHandle handle, char* serial) {
    return getBytes(handle, ConfigItem::SerialNumber, serial, zt::sdk::kMaxSerialLength + 1);
}
extern "C" ZT_API int ztSetBluetoothPin(ScannerHandle handle, const char* pin) {
    return setText(handle, ConfigItem::Pin, pin, zt::sdk::isValidPin);
}
extern "C" ZT_API int ztGetBluetoothPin(ScannerHandle handle, char* pin) {
    return getBytes(handle, ConfigItem::Pin, pin, zt::sdk::kPinLength + 1);
}
extern "C" ZT_API int ztGetImageVersion(ScannerHandle handle, unsigned char* version) {
    return getBytes(handle, ConfigItem::ImageVersion, version, zt::sdk::kImageVersionSize);
}
extern "C" ZT_API int ztClearAllData(ScannerHandle handle) { return setItem(handle, ConfigItem::EraseAll, {}, true); }
extern "C" ZT_API int ztSetDefault(ScannerHandle handle) {
    return setItem(handle, ConfigItem::RestoreDefaults, {}, true);
}
extern "C" ZT_API int ztSetSleepModeTime(ScannerHandle handle, unsigned int minutes) {
    return setNumber(handle, ConfigItem::SleepTime, minutes, zt::sdk::kMaxSleepTime);
}
extern "C" ZT_API int ztGetSleepModeTime(ScannerHandle handle, int* minutes) {
    return getNumber(handle, ConfigItem::SleepTime, minutes);
}
extern "C" ZT_API int ztSetConnectBeepDelayTime(ScannerHandle handle, unsigned int ms) {
    return setNumber(handle, ConfigItem::ConnectBeepDelay, ms, zt::sdk::kMaxBeepDelay);
}
extern "C" ZT_API int ztGetConnectBeepDelayTime(ScannerHandle handle, int* ms) {
    return getNumber(handle, ConfigItem::ConnectBeepDelay, ms);
}
extern "C" ZT_API int ztSetDisconnectBeepDelayTime(ScannerHandle handle, unsigned int ms) {
    return setNumber(handle, ConfigItem::DisconnectBeepDelay, ms, zt::sdk::kMaxBeepDelay);
}
extern "C" ZT_API int ztGetDisconnectBeepDelayTime(ScannerHandle handle, int* ms) {
    return getNumber(handle, ConfigItem::DisconnectBeepDelay, ms);
}

extern "C" ZT_API int ztSetDeleteSignal(ScannerHandle h, int on) { return setFlag(h, ConfigItem::DeleteSignal, on); }
extern "C" ZT_API int ztGetDeleteSignal(ScannerHandle h, unsigned char* on) {
    return getFlag(h, ConfigItem::DeleteSignal, on);
}
extern "C" ZT_API int ztSetSleepModeLedOn(ScannerHandle h, int on) { return setFlag(h, ConfigItem::SleepModeLed, on); }
extern "C" ZT_API int ztGetSleepModeLedOn(ScannerHandle h, unsigned char* on) {
    return getFlag(h, ConfigItem::SleepModeLed, on);
}
extern "C" ZT_API int ztSetCancelBtnStatus(ScannerHandle h, int on) { return setFlag(h, ConfigItem::CancelButton, on); }
extern "C" ZT_API int ztGetCancelBtnStatus(ScannerHandle h, unsigned char* on) {
    return getFlag(h, ConfigItem::CancelButton, on);
}
extern "C" ZT_API int ztSetScanTimeMilSecOn(ScannerHandle h, int on) {
    return setFlag(h, ConfigItem::ScanTimeMilliseconds, on);
}
extern "C" ZT_API int ztGetScanTimeMilSecOn(ScannerHandle h, unsigned char* on) {
    return getFlag(h, ConfigItem::ScanTimeMilliseconds, on);
}
extern "C" ZT_API int ztSetCancelFuncChangeStatus(ScannerHandle h, int on) {
    return setFlag(h, ConfigItem::CancelFunctionChange, on);
}
extern "C" ZT_API int ztGetCancelFuncChangeStatus(ScannerHandle h, unsigned char* on) {
    return getFlag(h, ConfigItem::CancelFunctionChange, on);
}
extern "C" ZT_API int ztSetNoBtConnectNotScanStatus(ScannerHandle h, int on) {
    return setFlag(h, ConfigItem::NoScanWithoutConnection, on);
}
extern "C" ZT_API int ztGetNoBtConnectNotScanStatus(ScannerHandle h, unsigned char* on) {
    return getFlag(h, ConfigItem::NoScanWithoutConnection, on);
}

ZT_SECOND_NAME(NrBtBarcodeSetBluetoothID, ztSetBluetoothID);
ZT_SECOND_NAME(NrBtBarcodeGetBluetoothID, ztGetBluetoothID);
ZT_SECOND_NAME(NrBtBarcodeSetBluetoothSerial, ztSetBluetoothSerial);
ZT_SECOND_NAME(NrBtBarcodeGetBluetoothSerial, ztGetBluetoothSerial);
ZT_SECOND_NAME(NrBtBarcodeSetBluetoothPin, ztSetBluetoothPin);
ZT_SECOND_NAME(NrBtBarcodeGetBluetoothPin, ztGetBluetoothPin);
ZT_SECOND_NAME(NrBtBarcodeGetImageVersion, ztGetImageVersion);
ZT_SECOND_NAME(NrBtBarcodeClearAllData, ztClearAllData);
ZT_SECOND_NAME(NrBtBarcodeSetDefault, ztSetDefault);
ZT_SECOND_NAME(NrBtBarcodeSetSleepModeTime, ztSetSleepModeTime);
ZT_SECOND_NAME(NrBtBarcodeGetSleepModeTime, ztGetSleepModeTime);
ZT_SECOND_NAME(NrBtBarcodeSetConnectBeepDelayTime, ztSetConnectBeepDelayTime);
ZT_SECOND_NAME(NrBtBarcodeGetConnectBeepDelayTime, ztGetConnectBeepDelayTime);
ZT_SECOND_NAME(NrBtBarcodeSetDisconnectBeepDelayTime, ztSetDisconnectBeepDelayTime);
ZT_SECOND_NAME(NrBtBarcodeGetDisconnectBeepDelayTime, ztGetDisconnectBeepDelayTime);

// Device parameters: scan mode, buzzer volume, battery and storage status, clock, prefix and suffix,
// symbology options.
#include "api/call_frame.h"

#include <algorithm>
#include <cstring>
#include <string_view>

using zt::sdk::allNonNull;
using zt::sdk::argumentsOk;
using zt::sdk::callFrame;
using zt::sdk::Mode;
using zt::wire::Command;
using Handle = zt::sdk::ScannerHandle;

namespace {

using zt::wire::kMaxScanMode;
using zt::wire::kMaxScanValue;
using zt::wire::kMaxVolume;

int setAffix(ScannerHandle handle, Command command, const char* text, int* length) {
    return callFrame(
        handle, [&]() -> int { return argumentsOk(allNonNull(text, length)); },
        [&](Handle& h) -> int {
            const std::string_view raw(text);
            // Texts are 7-bit: bytes 1..127 only (checked once the handle is ours).
            if (std::ranges::any_of(raw, [](char c) { return static_cast<unsigned char>(c) > 127; })) {
                return SDK_ERR_INVALID_ARG;
            }
            auto& codec = h.affixCodec();
            codec.mode = Mode::Set;
            codec.text = zt::sdk::unescapeAffix(raw);
            if (codec.text.size() > zt::sdk::kMaxAffixLength) return SDK_ERR_INVALID_ARG;  // would not fit
            const int result = h.engine().submit(command, &codec);
            if (result == SDK_OK) *length = static_cast<int>(codec.text.size()) + 1;
            return result;
        });
}

int getAffix(ScannerHandle handle, Command command, char* buffer, int* length) {
    return callFrame(
        handle, [&]() -> int { return argumentsOk(allNonNull(buffer, length)); },
        [&](Handle& h) -> int {
            auto& codec = h.affixCodec();
            codec.mode = Mode::Get;
            const int result = h.engine().submit(command, &codec);
            if (result != SDK_OK || !codec.received) return result;
            const std::string escaped = zt::sdk::escapeAffix(*codec.received);
            if (escaped.size() > zt::sdk::kMaxAffixLength) return SDK_ERR_INVALID_ARG;  // caller's 64 bytes
            std::memcpy(buffer, escaped.c_str(), escaped.size() + 1);
            *length = codec.receivedLength;
            return result;
        });
}

}  // namespace

extern "C" ZT_API int ztSetScanMode(ScannerHandle handle, int scanMode, unsigned int value) {
    return callFrame(
        handle,
        [&]() -> int { return argumentsOk(scanMode >= 0 && scanMode <= kMaxScanMode && value <= kMaxScanValue); },
        [&](Handle& h) -> int {
            auto& codec = h.scanModeCodec();
            codec.mode = Mode::Set;
            codec.scanMode = scanMode;
            codec.value = static_cast<int>(value);
            return h.engine().submit(Command::ScanMode, &codec);
        });
}

extern "C" ZT_API int ztGetScanMode(ScannerHandle handle, int* scanMode, int* value) {
    return callFrame(
        handle, [&]() -> int { return argumentsOk(allNonNull(scanMode, value)); },
        [&](Handle& h) -> int {
            auto& codec = h.scanModeCodec();
            codec.mode = Mode::Get;
            const int result = h.engine().submit(Command::ScanMode, &codec);
            if (result == SDK_OK) {
                *scanMode = codec.scanMode;
                *value = codec.value;
            }
            return result;
        });
}

extern "C" ZT_API int ztSetBuzzerVolume(ScannerHandle handle, unsigned int volume) {
    return callFrame(
        handle, [&]() -> int { return argumentsOk(volume <= kMaxVolume); },
        [&](Handle& h) -> int {
            auto& codec = h.buzzerCodec();
            codec.mode = Mode::Set;
            codec.volume = static_cast<int>(volume);
            return h.engine().submit(Command::Buzzer, &codec);
        });
}

extern "C" ZT_API int ztGetBuzzerVolume(ScannerHandle handle, int* volume) {
    return callFrame(
        handle, [&]() -> int { return argumentsOk(volume != nullptr); },
        [&](Handle& h) -> int {
            auto& codec = h.buzzerCodec();
            codec.mode = Mode::Get;
            const int result = h.engine().submit(Command::Buzzer, &codec);
            if (result == SDK_OK) *volume = codec.volume;
            return result;
        });
}

extern "C" ZT_API int ztGetBatteryStatus(ScannerHandle handle, int* first, int* second) {
    return callFrame(
        handle, [&]() -> int { return argumentsOk(allNonNull(first, second)); },
        [&](Handle& h) -> int {
            auto& codec = h.batteryCodec();
            const int result = h.engine().submit(Command::Battery, &codec);
            if (result == SDK_OK) {
                *first = codec.first;
                *second = codec.second;
            }
            return result;
        });
}

extern "C" ZT_API int ztGetStorageStatus(ScannerHandle handle, int* value) {
    return callFrame(
        handle, [&]() -> int { return argumentsOk(value != nullptr); },
        [&](Handle& h) -> int {
            auto& codec = h.storageCodec();
            const int result = h.engine().submit(Command::Storage, &codec);
            if (result == SDK_OK) *value = codec.value;
            return result;
        });
}

extern "C" ZT_API int ztSetTime(ScannerHandle handle, const unsigned char* time) {
    zt::sdk::ScannerTime t{};
    return callFrame(
        handle,
        [&]() -> int {
            if (time == nullptr) return SDK_ERR_INVALID_ARG;
            std::copy_n(time, t.size(), t.begin());
            return argumentsOk(zt::sdk::isValidScannerTime(t));
        },
        [&](Handle& h) -> int {
            auto& codec = h.timeCodec();
            codec.mode = Mode::Set;
            codec.time = t;
            return h.engine().submit(Command::Time, &codec);
        });
}

extern "C" ZT_API int ztGetTime(ScannerHandle handle, unsigned char* time) {
    return callFrame(
        handle, [&]() -> int { return argumentsOk(time != nullptr); },
        [&](Handle& h) -> int {
            auto& codec = h.timeCodec();
            codec.mode = Mode::Get;
            const int result = h.engine().submit(Command::Time, &codec);
            if (result == SDK_OK && codec.received) std::ranges::copy(*codec.received, time);
            return result;
        });
}

extern "C" ZT_API int ztSetPrefix(ScannerHandle handle, const char* text, int* length) {
    return setAffix(handle, Command::Prefix, text, length);
}
extern "C" ZT_API int ztGetPrefix(ScannerHandle handle, char* text, int* length) {
    return getAffix(handle, Command::Prefix, text, length);
}
extern "C" ZT_API int ztSetSuffix(ScannerHandle handle, const char* text, int* length) {
    return setAffix(handle, Command::Suffix, text, length);
}
extern "C" ZT_API int ztGetSuffix(ScannerHandle handle, char* text, int* length) {
    return getAffix(handle, Command::Suffix, text, length);
}

extern "C" ZT_API int ztSetSymbologyOption(ScannerHandle handle, int group, int item, int value) {
    return callFrame(
        handle,
        [&]() -> int { return zt::sdk::isSupportedSymbology(group, item) ? SDK_OK : SDK_ERR_UNSUPPORTED_OPTION; },
        [&](Handle& h) -> int {
            auto& codec = h.symbologyCodec();
            codec.mode = Mode::Set;
            codec.group = group;
            codec.item = item;
            codec.value = value;
            return h.engine().submit(Command::Symbology, &codec);
        });
}

extern "C" ZT_API int ztGetSymbologyOption(ScannerHandle handle, int group, int item, int* value) {
    return callFrame(
        handle,
        [&]() -> int {
            if (!zt::sdk::isSupportedSymbology(group, item)) return SDK_ERR_UNSUPPORTED_OPTION;
            return argumentsOk(value != nullptr);
        },
        [&](Handle& h) -> int {
            auto& codec = h.symbologyCodec();
            codec.mode = Mode::Get;
            codec.group = group;
            codec.item = item;
            const int result = h.engine().submit(Command::Symbology, &codec);
            if (result == SDK_OK) *value = codec.value;
            return result;
        });
}

ZT_SECOND_NAME(NrBtBarcodeSetScanMode, ztSetScanMode);
ZT_SECOND_NAME(NrBtBarcodeGetScanMode, ztGetScanMode);
ZT_SECOND_NAME(NrBtBarcodeSetBuzzerVolume, ztSetBuzzerVolume);
ZT_SECOND_NAME(NrBtBarcodeGetBuzzerVolume, ztGetBuzzerVolume);
ZT_SECOND_NAME(NrBtBarcodeGetBatteryStatus, ztGetBatteryStatus);
ZT_SECOND_NAME(NrBtBarcodeGetStorageStatus, ztGetStorageStatus);
ZT_SECOND_NAME(NrBtBarcodeSetTime, ztSetTime);
ZT_SECOND_NAME(NrBtBarcodeGetTime, ztGetTime);
ZT_SECOND_NAME(NrBtBarcodeSetPrefix, ztSetPrefix);
ZT_SECOND_NAME(NrBtBarcodeGetPrefix, ztGetPrefix);
ZT_SECOND_NAME(NrBtBarcodeSetSuffix, ztSetSuffix);
ZT_SECOND_NAME(NrBtBarcodeGetSuffix, ztGetSuffix);
ZT_SECOND_NAME(NrBtBarcodeSetSymbologyOption, ztSetSymbologyOption);
ZT_SECOND_NAME(NrBtBarcodeGetSymbologyOption, ztGetSymbologyOption);

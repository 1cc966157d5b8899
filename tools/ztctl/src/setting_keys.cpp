#include "setting_keys.h"

#include "json.h"
#include "setting_values.h"
#include "usage_error.h"
#include "zt/client/display_form.h"
#include "zt/client/scanner_time.h"
#include "zt/protocol/affix_notation.h"
#include "zt/protocol/wire.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

namespace ztctl {

using zt::client::displayForm;
using zt::client::formatScannerTime;
using zt::client::localScannerTime;
using zt::client::parseScannerTime;
using zt::client::ScannerTime;
namespace {

using zt::wire::kMaxBeepDelay;
using zt::wire::kMaxScanValue;
using zt::wire::kMaxSleepTime;
using zt::wire::kMaxVolume;
constexpr auto kMaxScanMode = static_cast<unsigned>(zt::wire::kMaxScanMode);
constexpr std::size_t kTextBuffer = 4096;  // the SDK writes at most 64 bytes; room to spare

using Words = std::span<const std::string_view>;

Reading number(long long value) { return {std::to_string(value), std::to_string(value)}; }
Reading text(const std::string& value) { return {value, jsonString(value)}; }
Reading flag(unsigned char on) { return {on != 0 ? "on" : "off", on != 0 ? "true" : "false"}; }

std::string_view single(Words words, std::string_view key) {
    if (words.size() != 1) throw UsageError(std::string(key) + " takes one value");
    return words[0];
}

// ---- reads

int readScanMode(ScannerHandle h, Reading& out) {
    int mode = 0;
    int value = 0;
    const int rc = ztGetScanMode(h, &mode, &value);
    out = {std::to_string(mode) + " " + std::to_string(value),
           JsonObject().add("mode", mode).add("value", value).str()};
    return rc;
}

template <int (*Get)(ScannerHandle, int*)>
int readInt(ScannerHandle h, Reading& out) {
    int value = 0;
    const int rc = Get(h, &value);
    out = number(value);
    return rc;
}

template <int (*Get)(ScannerHandle, unsigned char*)>
int readFlag(ScannerHandle h, Reading& out) {
    unsigned char on = 0;
    const int rc = Get(h, &on);
    out = flag(on);
    return rc;
}

int readBattery(ScannerHandle h, Reading& out) {
    int first = 0;
    int second = 0;
    const int rc = ztGetBatteryStatus(h, &first, &second);
    out = {std::to_string(first) + " " + std::to_string(second),
           JsonObject().add("first", first).add("second", second).str()};
    return rc;
}

int readStorage(ScannerHandle h, Reading& out) {
    int value = 0;
    const int rc = ztGetStorageStatus(h, &value);
    out = {std::to_string(value) + "%", std::to_string(value)};
    return rc;
}

// Output buffers start filled with this byte: no time byte can be 0xFF in all seven places, and a text
// the SDK writes ends in a zero byte, so what is left as it was shows that nothing was written.
constexpr std::uint8_t kUnwritten = 0xFF;

bool textWritten(std::span<const char> buffer) { return std::ranges::find(buffer, '\0') != buffer.end(); }

int readTime(ScannerHandle h, Reading& out) {
    ScannerTime time{};
    time.fill(kUnwritten);
    const int rc = ztGetTime(h, time.data());
    out = text(formatScannerTime(time));
    out.written = std::ranges::any_of(time, [](std::uint8_t b) { return b != kUnwritten; });
    return rc;
}

template <int (*Get)(ScannerHandle, char*, int*)>
int readAffix(ScannerHandle h, Reading& out) {
    std::array<char, kTextBuffer> buffer{};
    buffer.fill(static_cast<char>(kUnwritten));
    int length = 0;
    const int rc = Get(h, buffer.data(), &length);
    out.written = textWritten(buffer);
    if (!out.written) return rc;
    // The SDK gives the backslash notation; read it back to bytes so that the display form can also
    // escape control bytes the notation lets through.
    out = text(displayForm(zt::wire::unescapeAffix(buffer.data())));
    return rc;
}

int readBluetoothId(ScannerHandle h, Reading& out) {
    std::array<std::uint8_t, 6> id{};
    const int rc = ztGetBluetoothID(h, id.data());
    out = text(formatBluetoothId(id));
    return rc;
}

template <int (*Get)(ScannerHandle, char*)>
int readText(ScannerHandle h, Reading& out) {
    std::array<char, kTextBuffer> buffer{};
    buffer.fill(static_cast<char>(kUnwritten));
    const int rc = Get(h, buffer.data());
    out.written = textWritten(buffer);
    if (out.written) out = text(displayForm(buffer.data()));
    return rc;
}

int readImageVersion(ScannerHandle h, Reading& out) {
    std::array<unsigned char, 4> version{};
    const int rc = ztGetImageVersion(h, version.data());
    const std::string major(1, static_cast<char>(version[0]));
    const std::string minor(1, static_cast<char>(version[1]));
    out = text(displayForm(major) + "." + displayForm(minor));
    return rc;
}

// ---- parses

Apply parseScanMode(Words words) {
    if (words.empty() || words.size() > 2) throw UsageError("scan-mode takes MODE [VALUE]");
    const auto mode = static_cast<int>(parseNumber(words[0], "scan mode", 0, kMaxScanMode));
    if (mode == 0 && words.size() == 2) throw UsageError("scan mode 0 takes no value");
    if (mode != 0 && words.size() == 1)
        throw UsageError("scan mode " + std::to_string(mode) + " needs a value 0..9999");
    const unsigned value = words.size() == 2 ? parseNumber(words[1], "scan mode value", 0, kMaxScanValue) : 0;
    return [mode, value](ScannerHandle h) { return ztSetScanMode(h, mode, value); };
}

template <int (*Set)(ScannerHandle, unsigned int), unsigned Max>
Apply parseUnsigned(Words words) {
    const unsigned value = parseNumber(single(words, "this key"), "value", 0, Max);
    return [value](ScannerHandle h) { return Set(h, value); };
}

template <int (*Set)(ScannerHandle, int)>
Apply parseOnOff(Words words) {
    const bool on = parseFlag(single(words, "this key"), "value");
    return [on](ScannerHandle h) { return Set(h, on ? 1 : 0); };
}

Apply parseTime(Words words) {
    const auto word = single(words, "time");
    if (word == "now") {
        return [](ScannerHandle h) {
            const auto time = localScannerTime();
            return ztSetTime(h, time.data());
        };
    }
    const auto time = parseScannerTime(word);
    if (!time) throw UsageError("invalid time '" + displayForm(word) + "' (YYYYMMDDhhmmss in 1970..2155, or now)");
    return [t = *time](ScannerHandle h) { return ztSetTime(h, t.data()); };
}

template <int (*Set)(ScannerHandle, const char*, int*)>
Apply parseAffix(Words words) {
    std::string value(single(words, "this key"));
    checkAffixText(value, "text");
    return [value](ScannerHandle h) {
        int length = 0;
        return Set(h, value.c_str(), &length);
    };
}

Apply parseBluetoothIdValue(Words words) {
    const auto id = parseBluetoothId(single(words, "bluetooth-id"));
    return [id](ScannerHandle h) { return ztSetBluetoothID(h, id.data()); };
}

Apply parseSerial(Words words) {
    std::string value(single(words, "serial"));
    checkSerial(value);
    return [value](ScannerHandle h) { return ztSetBluetoothSerial(h, value.c_str()); };
}

Apply parsePin(Words words) {
    std::string value(single(words, "pin"));
    checkPin(value);
    return [value](ScannerHandle h) { return ztSetBluetoothPin(h, value.c_str()); };
}

const std::array kKeys{
    SettingKey{"image-version", "firmware image version", "", true, readImageVersion, nullptr},
    SettingKey{"serial", "serial number", "1..22 characters 0-9 A-Z a-z", true, readText<ztGetBluetoothSerial>,
               parseSerial},
    SettingKey{"bluetooth-id", "Bluetooth ID", "six hex bytes, 00:11:22:33:44:55", true, readBluetoothId,
               parseBluetoothIdValue},
    SettingKey{"battery", "battery values (second: level 0 full .. 2 low)", "", true, readBattery, nullptr},
    SettingKey{"storage", "part of the record store in use", "", true, readStorage, nullptr},
    SettingKey{"time", "scanner clock", "YYYYMMDDhhmmss or now", true, readTime, parseTime},
    SettingKey{"buzzer-volume", "beep volume (0 off, 1 low, 2 medium, 3 high)", "0..3", true,
               readInt<ztGetBuzzerVolume>, parseUnsigned<ztSetBuzzerVolume, kMaxVolume>},
    SettingKey{"connect-beep-delay", "beep delay on connect", "0..3000", true, readInt<ztGetConnectBeepDelayTime>,
               parseUnsigned<ztSetConnectBeepDelayTime, kMaxBeepDelay>},
    SettingKey{"disconnect-beep-delay", "beep delay on disconnect", "0..3000", true,
               readInt<ztGetDisconnectBeepDelayTime>, parseUnsigned<ztSetDisconnectBeepDelayTime, kMaxBeepDelay>},
    SettingKey{"scan-mode", "trigger mode and its time value", "MODE [VALUE]: 0, or 1|2 and 0..9999", true,
               readScanMode, parseScanMode},
    SettingKey{"prefix", "text sent before every barcode", "TEXT (\\t \\n \\r \\\\; at most 63)", true,
               readAffix<ztGetPrefix>, parseAffix<ztSetPrefix>},
    SettingKey{"suffix", "text sent after every barcode", "TEXT (\\t \\n \\r \\\\; at most 63)", true,
               readAffix<ztGetSuffix>, parseAffix<ztSetSuffix>},
    SettingKey{"sleep-time", "power-save time", "0..10", true, readInt<ztGetSleepModeTime>,
               parseUnsigned<ztSetSleepModeTime, kMaxSleepTime>},
    SettingKey{"delete-signal", "delete signal", "on|off", true, readFlag<ztGetDeleteSignal>,
               parseOnOff<ztSetDeleteSignal>},
    SettingKey{"sleep-led", "LED on in sleep mode", "on|off", true, readFlag<ztGetSleepModeLedOn>,
               parseOnOff<ztSetSleepModeLedOn>},
    SettingKey{"cancel-button", "cancel button", "on|off", true, readFlag<ztGetCancelBtnStatus>,
               parseOnOff<ztSetCancelBtnStatus>},
    SettingKey{"scan-time-ms", "scan time with milliseconds", "on|off", true, readFlag<ztGetScanTimeMilSecOn>,
               parseOnOff<ztSetScanTimeMilSecOn>},
    SettingKey{"cancel-function-change", "cancel function change", "on|off", true,
               readFlag<ztGetCancelFuncChangeStatus>, parseOnOff<ztSetCancelFuncChangeStatus>},
    SettingKey{"no-scan-unconnected", "no scanning without a Bluetooth connection", "on|off", true,
               readFlag<ztGetNoBtConnectNotScanStatus>, parseOnOff<ztSetNoBtConnectNotScanStatus>},
    SettingKey{"pin", "Bluetooth PIN", "4 digits", false, readText<ztGetBluetoothPin>, parsePin},
};

}  // namespace

std::span<const SettingKey> settingKeys() { return kKeys; }

const SettingKey* findSettingKey(std::string_view name) {
    const auto found = std::ranges::find(kKeys, name, &SettingKey::name);
    return found == kKeys.end() ? nullptr : &*found;
}

std::string jsonName(std::string_view name) {
    std::string out(name);
    std::ranges::replace(out, '-', '_');
    return out;
}

}  // namespace ztctl

#include "codecs/value_codecs.h"

#include "codecs/byte_order.h"
#include "codecs/status.h"

#include <algorithm>

namespace zt::sdk {

namespace {
constexpr std::size_t kScanModeAnswer = 6;  // status, scan mode, value (4 bytes)
constexpr std::size_t kBuzzerAnswer = 2;
constexpr std::size_t kBatteryAnswer = 3;
constexpr std::size_t kStorageAnswer = 2;
constexpr std::size_t kTimeAnswer = 8;
constexpr int kVolumeLimit = 4;  // volumes 0..3; anything else reads as 0
}  // namespace

CodecStep ScanModeCodec::build(RequestBuffer& request, std::uint16_t& length) {
    request[0] = static_cast<std::uint8_t>(mode);
    length = 1;
    if (mode == Mode::Set) {
        request[1] = static_cast<std::uint8_t>(scanMode);
        length = 2;
        if (scanMode == 1 || scanMode == 2) {  // trigger modes with a time value
            putLe32(std::span(request).subspan<2, 4>(), static_cast<std::uint32_t>(value));
            length = 6;
        }
    }
    return CodecStep::Continue;
}

CodecStep ScanModeCodec::onResponse(std::uint8_t, std::span<const std::uint8_t> payload, RequestBuffer&,
                                    std::uint16_t&) {
    if (mode == Mode::Get) {
        const bool ok = usable(payload, kScanModeAnswer);
        scanMode = ok ? payload[1] : 0;
        value = ok ? static_cast<int>(getLe32(payload.subspan<2, 4>())) : 0;
    }
    return statusStep(payload);
}

CodecStep BuzzerCodec::build(RequestBuffer& request, std::uint16_t& length) {
    request[0] = static_cast<std::uint8_t>(mode);
    request[1] = static_cast<std::uint8_t>(volume);
    length = mode == Mode::Set ? 2 : 1;
    return CodecStep::Continue;
}

CodecStep BuzzerCodec::onResponse(std::uint8_t, std::span<const std::uint8_t> payload, RequestBuffer&, std::uint16_t&) {
    if (mode == Mode::Get) {
        volume = usable(payload, kBuzzerAnswer) && payload[1] < kVolumeLimit ? payload[1] : 0;
    }
    return statusStep(payload);
}

CodecStep BatteryCodec::build(RequestBuffer&, std::uint16_t& length) {
    length = 0;
    return CodecStep::Continue;
}

CodecStep BatteryCodec::onResponse(std::uint8_t, std::span<const std::uint8_t> payload, RequestBuffer&,
                                   std::uint16_t&) {
    if (usable(payload, kBatteryAnswer)) {
        first = payload[1];
        second = payload[2];
    }
    return statusStep(payload);
}

CodecStep StorageCodec::build(RequestBuffer&, std::uint16_t& length) {
    length = 0;
    return CodecStep::Continue;
}

CodecStep StorageCodec::onResponse(std::uint8_t, std::span<const std::uint8_t> payload, RequestBuffer&,
                                   std::uint16_t&) {
    if (usable(payload, kStorageAnswer)) value = payload[1];
    return statusStep(payload);
}

bool isValidScannerTime(const ScannerTime& t) {
    return t[0] >= 70 && t[1] < 12 && t[2] >= 1 && t[2] <= 31 && t[3] < 24 && t[4] < 60 && t[5] < 60 && t[6] < 7;
}

CodecStep TimeCodec::build(RequestBuffer& request, std::uint16_t& length) {
    request[0] = static_cast<std::uint8_t>(mode);
    length = 1;
    if (mode == Mode::Set) {
        std::ranges::copy(time, request.begin() + 1);
        length = static_cast<std::uint16_t>(1 + time.size());
    }
    received.reset();
    return CodecStep::Continue;
}

CodecStep TimeCodec::onResponse(std::uint8_t, std::span<const std::uint8_t> payload, RequestBuffer&, std::uint16_t&) {
    if (mode == Mode::Get && usable(payload, kTimeAnswer)) {
        ScannerTime t{};
        std::copy_n(payload.begin() + 1, t.size(), t.begin());
        received = t;
    }
    return statusStep(payload);
}

}  // namespace zt::sdk

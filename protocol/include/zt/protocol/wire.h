// Wire protocol of the scanner: frame layout, command codes, limits, configuration items, collect and
// record layout. Shared by the SDK, the simulator, the command-line tool and the program.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace zt::wire {

// Frame: sync, seq, block, retry, type, length (LE16), payload, trailer 0x00 0x00. No byte stuffing:
// frame boundaries follow from the length field alone.
inline constexpr std::uint8_t kSync = 0x7E;
inline constexpr std::size_t kHeaderSize = 7;
inline constexpr std::size_t kTrailerSize = 2;
inline constexpr std::size_t kFrameOverhead = kHeaderSize + kTrailerSize;

// The scanner accepts frames of at most 512 bytes.
inline constexpr std::size_t kMaxWriteFrame = 512;
inline constexpr std::size_t kMaxWritePayload = kMaxWriteFrame - kFrameOverhead;  // 503

// The receive buffer holds the payload and trailer of the largest frame the SDK keeps.
inline constexpr std::size_t kReceiveBufferSize = 17001;
inline constexpr std::size_t kMaxReceivePayload = kReceiveBufferSize - kTrailerSize;  // 16 999

// Type byte: bit 7 set for a request (from either side), clear for a response or acknowledgement.
inline constexpr std::uint8_t kRequestBit = 0x80;
inline constexpr std::uint8_t kCodeMask = 0x7F;

// Retry byte of a repeat: 1 and 2 after response time-outs, 4 after a mismatched response.
inline constexpr std::uint8_t kRetryAfterMismatch = 4;

// Command codes of SDK requests.
enum class Command : std::uint8_t {
    Handshake = 2,
    Battery = 4,
    Time = 5,
    Storage = 6,
    Prefix = 7,
    Suffix = 8,
    Collect = 9,
    ScanMode = 10,
    Buzzer = 11,
    Symbology = 14,
    Config = 15,
};

// Packet types of frames the scanner starts itself.
enum class PacketType : std::uint8_t {
    ScanData = 1,
    DeletedData = 3,
};

inline constexpr std::array<std::uint8_t, 2> kHandshakePayload{0x31, 0x01};

// Parameter payloads: requests start with a mode byte, answers with a status byte.
inline constexpr std::uint8_t kModeGet = 0;
inline constexpr std::uint8_t kModeSet = 1;
inline constexpr std::uint8_t kStatusDone = 0;
inline constexpr std::uint8_t kStatusRefused = 1;

// Value ranges the scanner accepts.
inline constexpr int kMaxScanMode = 2;  // modes 1 and 2 carry a time value
inline constexpr unsigned kMaxScanValue = 9999;
inline constexpr unsigned kMaxVolume = 3;

// Items of the configuration command (code 15); item 9 is not used.
enum class ConfigItem : std::uint16_t {
    BluetoothId = 0,
    SerialNumber = 1,
    ImageVersion = 2,
    Pin = 3,
    EraseAll = 4,
    SleepTime = 5,
    RestoreDefaults = 6,
    ConnectBeepDelay = 7,
    DisconnectBeepDelay = 8,
    DeleteSignal = 10,
    SleepModeLed = 11,
    CancelButton = 12,
    ScanTimeMilliseconds = 13,
    CancelFunctionChange = 14,
    NoScanWithoutConnection = 15,
};

inline constexpr std::size_t kBluetoothIdSize = 6;
inline constexpr std::size_t kMaxSerialLength = 22;
inline constexpr std::size_t kPinLength = 4;
inline constexpr std::size_t kImageVersionSize = 2;
inline constexpr unsigned kMaxSleepTime = 10;
inline constexpr unsigned kMaxBeepDelay = 3000;

// Prefix and suffix texts (commands 7 and 8): at most 63 bytes, each 1..127, and a zero byte.
inline constexpr std::size_t kMaxAffixLength = 63;
inline constexpr unsigned kMaxAffixByte = 127;

// Collect exchange: 0x01 asks for the size header, 0x02 for the next record; answers carry the same
// type bytes, and an empty answer ends the store.
inline constexpr std::uint8_t kCollectAskSize = 0x01;
inline constexpr std::uint8_t kCollectAskRecord = 0x02;
inline constexpr std::uint8_t kCollectSizeHeader = 0x01;
inline constexpr std::uint8_t kCollectRecord = 0x02;

// Scan record: tag, scanner time (7 bytes: year - 1900, month 0..11, day, hour, minute, second, day of
// week), two little-endian doubles, then the text and its zero byte.
inline constexpr std::size_t kScanRecordTimeOffset = 1;
inline constexpr std::size_t kScannerTimeSize = 7;
inline constexpr std::size_t kScanRecordValue1Offset = 8;
inline constexpr std::size_t kScanRecordValue2Offset = 16;
inline constexpr std::size_t kScanRecordHeadSize = 24;  // where the text starts
// Largest scan record of a downloaded record: the head and 3071 text bytes with their zero byte.
inline constexpr std::size_t kMaxScanRecordSize = 3096;

struct FrameHeader {
    std::uint8_t seq = 0;
    std::uint8_t block = 0;
    std::uint8_t retry = 0;
    std::uint8_t type = 0;
    std::uint16_t length = 0;

    [[nodiscard]] bool isRequest() const { return (type & kRequestBit) != 0; }
    [[nodiscard]] std::uint8_t code() const { return type & kCodeMask; }

    // Writes the 7 header bytes, sync first.
    void encode(std::span<std::uint8_t, kHeaderSize> out) const {
        out[0] = kSync;
        out[1] = seq;
        out[2] = block;
        out[3] = retry;
        out[4] = type;
        out[5] = static_cast<std::uint8_t>(length & 0xFF);
        out[6] = static_cast<std::uint8_t>(length >> 8);
    }

    // Reads the 7 header bytes; the sync byte is not checked here (the reader hunts for it).
    [[nodiscard]] static FrameHeader decode(std::span<const std::uint8_t, kHeaderSize> in) {
        FrameHeader h;
        h.seq = in[1];
        h.block = in[2];
        h.retry = in[3];
        h.type = in[4];
        h.length = static_cast<std::uint16_t>(in[5] | (in[6] << 8));
        return h;
    }
};

// Assembles a whole frame into `out`. Returns the frame size, or nothing when the payload does not
// match the header's length or the frame does not fit `out`.
[[nodiscard]] inline std::optional<std::size_t> encodeFrame(const FrameHeader& header,
                                                            std::span<const std::uint8_t> payload,
                                                            std::span<std::uint8_t> out) {
    const std::size_t size = kFrameOverhead + header.length;
    if (payload.size() != header.length || size > out.size()) return std::nullopt;
    header.encode(out.first<kHeaderSize>());
    std::copy(payload.begin(), payload.end(), out.begin() + kHeaderSize);
    out[kHeaderSize + header.length] = 0;
    out[kHeaderSize + header.length + 1] = 0;
    return size;
}

}  // namespace zt::wire

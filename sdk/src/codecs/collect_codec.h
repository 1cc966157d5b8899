// Collecting the scanner's stored records (command 9): a size header, then one record per block, then an
// empty answer. The records stay in the codec, sorted newest first, until the next collection.
#pragma once

#include "codecs/value_codecs.h"
#include "engine/command_codec.h"
#include "zt330sdk.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

namespace zt::sdk {

struct CollectedRecord {
    std::uint8_t tag = 0;
    ScannerTime time{};
    double value1 = 0;
    double value2 = 0;
    std::string text;  // the bytes before the zero byte
};

using wire::kMaxScanRecordSize;
using wire::kScanRecordHeadSize;
// Records reserved in advance at most: a scanner that announces a huge total cannot make the SDK
// allocate for it before the records actually arrive.
inline constexpr std::size_t kMaxReservedRecords = 100000;

// Parses the ScanRecord part of a record answer; nothing when it is too long or has no zero byte after
// its text (such a record is dropped and the download goes on).
[[nodiscard]] bool parseCollectedRecord(std::span<const std::uint8_t> scanRecord, CollectedRecord& out);

class CollectCodec final : public CommandCodec {
public:
    CodecStep build(RequestBuffer& request, std::uint16_t& length) override;
    CodecStep onResponse(std::uint8_t retry, std::span<const std::uint8_t> payload, RequestBuffer& request,
                         std::uint16_t& length) override;

    // Drops the stored records and prepares a new collection reporting to `progress` (may be null).
    // The caller holds the store lock exclusively.
    void reset(CollectProgressCallback progress);
    // Sorts the records newest first by their seven time bytes.
    void sortNewestFirst();

    [[nodiscard]] int received() const { return received_; }
    [[nodiscard]] const std::vector<CollectedRecord>& records() const { return records_; }

    // Guards the records against a fetch while a new collection releases them.
    [[nodiscard]] std::shared_mutex& storeLock() { return storeLock_; }

private:
    void report(int total, int received) const;

    int step_ = 1;
    int total_ = 0;
    int received_ = 0;  // records stored
    int answered_ = 0;  // record blocks answered, stored or dropped
    int nextMark_ = 0;
    std::vector<CollectedRecord> records_;
    CollectProgressCallback progress_ = nullptr;
    std::shared_mutex storeLock_;
};

}  // namespace zt::sdk

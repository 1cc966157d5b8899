#include "codecs/collect_codec.h"

#include "codecs/byte_order.h"
#include "trace.h"

#include <algorithm>
#include <cstring>

namespace zt::sdk {

namespace {

constexpr std::size_t kHeaderAnswerSize = 5;  // type byte and the 32-bit total

double readDouble(std::span<const std::uint8_t, 8> bytes) {
    double value = 0;
    std::memcpy(&value, bytes.data(), sizeof value);  // little-endian on the wire and on this host
    return value;
}

}  // namespace

bool parseCollectedRecord(std::span<const std::uint8_t> scanRecord, CollectedRecord& out) {
    if (scanRecord.size() > kMaxScanRecordSize || scanRecord.size() <= kScanRecordHeadSize) return false;
    const auto text = scanRecord.subspan(kScanRecordHeadSize);
    const auto zero = std::ranges::find(text, std::uint8_t{0});
    if (zero == text.end()) return false;
    out.tag = scanRecord[0];
    std::copy_n(scanRecord.begin() + 1, out.time.size(), out.time.begin());
    out.value1 = readDouble(scanRecord.subspan<8, 8>());
    out.value2 = readDouble(scanRecord.subspan<16, 8>());
    out.text.assign(text.begin(), zero);
    return true;
}

void CollectCodec::reset(CollectProgressCallback progress) {
    records_.clear();
    records_.shrink_to_fit();
    total_ = 0;
    received_ = 0;
    answered_ = 0;
    step_ = 1;
    nextMark_ = 0;
    progress_ = progress;
}

void CollectCodec::report(int total, int received) const {
    if (progress_ != nullptr) progress_(total, received);
}

CodecStep CollectCodec::build(RequestBuffer& request, std::uint16_t& length) {
    request[0] = wire::kCollectAskSize;
    length = 1;
    return CodecStep::Continue;
}

CodecStep CollectCodec::onResponse(std::uint8_t, std::span<const std::uint8_t> payload, RequestBuffer& request,
                                   std::uint16_t& length) {
    if (payload.empty()) return CodecStep::Complete;
    if (payload[0] == wire::kCollectSizeHeader && payload.size() >= kHeaderAnswerSize) {
        total_ = static_cast<std::int32_t>(getLe32(payload.subspan<1, 4>()));
        trace("Collecting TotoalDataSize : %d", total_);
        if (total_ > 0) {
            records_.reserve(std::min<std::size_t>(static_cast<std::size_t>(total_), kMaxReservedRecords));
            step_ = std::max(total_ / 10, 1);
            nextMark_ = step_;
        }
        report(total_, 0);
        request[0] = wire::kCollectAskRecord;
        length = 1;
        return CodecStep::Continue;
    }
    if (payload[0] == wire::kCollectRecord) {
        // Progress counts answered record blocks, not stored records: a dropped record still moves the
        // download on, and the answer to the last announced block reports (total, total).
        if (answered_ + 1 == total_) {
            report(total_, total_);
        } else if (answered_ == nextMark_ && answered_ < total_) {
            report(total_, answered_);
            nextMark_ += step_;
        }
        ++answered_;
        CollectedRecord record;
        if (parseCollectedRecord(payload.subspan(1), record)) {
            records_.push_back(std::move(record));
            ++received_;
        }
    }
    return CodecStep::Continue;  // the same request asks for the next record
}

void CollectCodec::sortNewestFirst() {
    std::ranges::sort(records_, [](const CollectedRecord& a, const CollectedRecord& b) {
        return std::ranges::lexicographical_compare(b.time, a.time);
    });
}

}  // namespace zt::sdk

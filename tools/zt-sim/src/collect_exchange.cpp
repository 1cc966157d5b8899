#include "collect_exchange.h"

#include "payload_bytes.h"
#include "scan_record.h"

#include <algorithm>
#include <limits>

namespace zt::sim {
namespace {

constexpr std::uint8_t kAskSize = wire::kCollectAskSize;
constexpr std::uint8_t kAskRecord = wire::kCollectAskRecord;
constexpr std::uint8_t kSizeHeader = wire::kCollectSizeHeader;
constexpr std::uint8_t kRecord = wire::kCollectRecord;

}  // namespace

std::optional<Bytes> CollectExchange::answer(const wire::FrameHeader& request, std::span<const std::uint8_t> payload,
                                             const std::vector<StoredRecord>& store,
                                             std::optional<std::size_t>& failAfter) {
    if (isRepeat(request, payload)) return last_->answer;

    std::optional<Bytes> answer;
    if (payload.size() == 1 && payload[0] == kAskSize) {
        answer = begin(store, failAfter);
    } else if (payload.size() == 1 && payload[0] == kAskRecord) {
        answer = next();
    }  // anything else is not understood and goes unanswered
    last_ = LastAnswer{request.seq, request.block, Bytes(payload.begin(), payload.end()), answer};
    return answer;
}

bool CollectExchange::isRepeat(const wire::FrameHeader& request, std::span<const std::uint8_t> payload) const {
    return request.retry != 0 && last_ && last_->seq == request.seq && last_->block == request.block &&
           std::ranges::equal(last_->request, payload);
}

Bytes CollectExchange::begin(const std::vector<StoredRecord>& store, std::optional<std::size_t>& failAfter) {
    records_ = store;
    sent_ = 0;
    silentAfter_ = std::exchange(failAfter, std::nullopt);
    silent_ = false;
    Bytes header{kSizeHeader};
    const auto count = std::min<std::size_t>(records_.size(), std::numeric_limits<std::int32_t>::max());
    appendLe32(header, static_cast<std::uint32_t>(count));
    return header;
}

std::optional<Bytes> CollectExchange::next() {
    if (silent_ || (silentAfter_ && sent_ >= *silentAfter_)) {
        silent_ = true;  // the rest of this exchange goes unanswered
        return std::nullopt;
    }
    if (sent_ >= records_.size()) {
        records_.clear();
        sent_ = 0;
        silentAfter_.reset();
        return Bytes{};  // after the last record, or without an exchange: the end
    }
    Bytes answer{kRecord};
    appendScanRecord(answer, records_[sent_++]);
    return answer;
}

}  // namespace zt::sim

// The scanner's side of a collect exchange (command 9). Block 0 asks with {0x01} and gets the size header
// {0x01, count LE32}; every following {0x02} gets the next record {0x02, record}, and the one after the
// last record an empty answer. A repeat of the last request (same seq and block, retry byte set) gets
// the same answer again rather than the next record. The records are those stored when the exchange
// began; collecting erases nothing.
#pragma once

#include "zt/sim/scanner_state.h"
#include "zt/sim/simulator.h"

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace zt::sim {

class CollectExchange {
public:
    // The answer to one collect request, or nothing to stay silent. `store` is what the scanner holds
    // now; `failAfter`, when set, is used up by the exchange that begins with this request: that
    // exchange goes silent after sending so many records.
    [[nodiscard]] std::optional<Bytes> answer(const wire::FrameHeader& request, std::span<const std::uint8_t> payload,
                                              const std::vector<StoredRecord>& store,
                                              std::optional<std::size_t>& failAfter);

private:
    struct LastAnswer {
        std::uint8_t seq;
        std::uint8_t block;
        Bytes request;
        std::optional<Bytes> answer;
    };

    [[nodiscard]] bool isRepeat(const wire::FrameHeader& request, std::span<const std::uint8_t> payload) const;
    [[nodiscard]] Bytes begin(const std::vector<StoredRecord>& store, std::optional<std::size_t>& failAfter);
    [[nodiscard]] std::optional<Bytes> next();

    std::optional<LastAnswer> last_;
    std::vector<StoredRecord> records_;  // copied when the exchange begins
    std::size_t sent_ = 0;
    std::optional<std::size_t> silentAfter_;
    bool silent_ = false;
};

}  // namespace zt::sim

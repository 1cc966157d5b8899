// The scanner itself: its state and how it answers every command of the protocol from that state. The
// model is shared by the scanner's worker (answers) and the test or control thread (reads and changes);
// one lock guards it all.
#pragma once

#include "collect_exchange.h"
#include "zt/sim/scanner_state.h"
#include "zt/sim/simulator.h"

#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace zt::sim {

class ScannerModel {
public:
    explicit ScannerModel(int port);

    // The answer payload for a request, or nothing for a command the scanner does not know.
    [[nodiscard]] std::optional<Bytes> answer(const wire::FrameHeader& request, std::span<const std::uint8_t> payload);

    [[nodiscard]] ScannerState state() const;
    // Runs `change` under the model's lock; it must not call back into the scanner.
    void update(const std::function<void(ScannerState&)>& change);

    // Adding and erasing records keeps the storage status at the part of the store in use.
    void addRecords(std::vector<StoredRecord> records);
    void fillRecords(std::size_t count);
    void eraseRecords();
    [[nodiscard]] std::vector<StoredRecord> records() const;
    [[nodiscard]] std::size_t recordCount() const;
    void failCollectAfter(std::size_t records);

    // A record of a scan made now: the scanner's clock, tag and values 0.
    [[nodiscard]] StoredRecord scanNow(std::string_view text) const;

private:
    [[nodiscard]] std::optional<Bytes> answerLocked(const wire::FrameHeader& request,
                                                    std::span<const std::uint8_t> payload);

    const int port_;
    const ScannerState defaults_;
    mutable std::mutex mutex_;
    ScannerState state_;
    CollectExchange collect_;
    std::optional<std::size_t> failCollectAfter_;
};

}  // namespace zt::sim

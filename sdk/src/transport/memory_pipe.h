// An in-memory pipe with two connected ends, each a Transport: what one end writes the other reads.
//
// Tests put the SDK on one end and a scripted scanner on the other, so the link, the exchange and the
// engine run without a pseudo-terminal and without timing luck. The pipe also carries a carrier-detect
// line (absent unless asked for) and a hang-up: when one end hangs up or is destroyed, the other end
// reads what was already written and then reports the port lost.
#pragma once

#include "transport/transport.h"

#include <chrono>
#include <memory>
#include <optional>

namespace zt::sdk {

class MemoryEnd final : public Transport {
    struct State;

public:
    // Only MemoryPipe::create() makes ends.
    class Key {
        friend struct MemoryPipe;
        Key() = default;
    };
    MemoryEnd(Key, std::shared_ptr<State> state, int side) : state_(std::move(state)), side_(side) {}
    ~MemoryEnd() override;
    MemoryEnd(const MemoryEnd&) = delete;
    MemoryEnd& operator=(const MemoryEnd&) = delete;

    IoStatus waitReadable(std::chrono::milliseconds timeout) override;
    IoStatus read(std::span<std::uint8_t> buffer, std::size_t& got,
                  std::chrono::milliseconds firstByteTimeout) override;
    IoStatus writeAll(std::span<const std::uint8_t> bytes, std::chrono::milliseconds timeout) override;
    [[nodiscard]] std::optional<bool> carrierDetect() const override;
    void cancel() override;

    // Closes this end: the other end reads what is buffered, then reports the port lost.
    void hangUp();
    // Sets the carrier-detect line that both ends see; a waitReadable() of the other end returns early.
    void setCarrier(bool on);
    // The next `count` writes of the other end fail with `status` (Failed: nothing written; Lost: and the
    // pipe hangs up, as a link that drops under a write).
    void failOtherEndWrites(int count, IoStatus status);
    // Waits until the other end has hung up or was destroyed; false after `timeout`.
    [[nodiscard]] bool waitForHangUp(std::chrono::milliseconds timeout) const;
    [[nodiscard]] bool otherEndClosed() const;

private:
    friend struct MemoryPipe;

    std::shared_ptr<State> state_;
    const int side_;                 // 0 or 1; this end reads the queue of `side_` and writes the other
    std::uint64_t carrierSeen_ = 0;  // version of the carrier line at this end's last wait
};

struct MemoryPipe {
    std::unique_ptr<MemoryEnd> sdkEnd;
    std::unique_ptr<MemoryEnd> peerEnd;

    // A new pipe; `carrier` gives it a carrier-detect line with that initial state.
    [[nodiscard]] static MemoryPipe create(std::optional<bool> carrier = std::nullopt);
};

}  // namespace zt::sdk

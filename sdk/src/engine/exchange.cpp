#include "engine/exchange.h"

#include "trace.h"
#include "zt330sdk.h"

namespace zt::sdk {

namespace {

int writeResult(WriteStatus status) {
    switch (status) {
        case WriteStatus::Written: return SDK_OK;
        case WriteStatus::PortLost: return SDK_ERR_PORT_LOST;
        case WriteStatus::Failed: break;
    }
    return SDK_ERR_LINK;
}

// One exchange on the command thread: its header, request and per-block counters. What the receive
// thread and close() share with it lives in the link's ExchangeState.
class Exchange {
public:
    Exchange(SerialLink& link, std::uint8_t code, CommandCodec& codec, const Timings& timings)
        : link_(link), state_(link.exchanges()), code_(code), codec_(codec), timings_(timings) {
        header_.type = static_cast<std::uint8_t>(code | wire::kRequestBit);
    }

    int run() {
        CodecStep step = codec_.build(request_, length_);
        if (step == CodecStep::Refused) return SDK_ERR_OPEN_FAILED;
        header_.length = length_;
        const auto seq = state_.open();
        if (!seq) return SDK_ERR_ABORTED;
        header_.seq = *seq;
        const int result = runBlocks(step);
        state_.close(result == SDK_OK);
        return result;
    }

private:
    int runBlocks(CodecStep step) {
        for (std::uint8_t block = 0;; ++block) {  // block numbers wrap after 255
            if (state_.abortRequested()) return SDK_ERR_ABORTED;
            header_.block = block;
            header_.retry = 0;
            state_.expectRetry(0);
            if (const int r = send(); r != SDK_OK) return r;
            if (step == CodecStep::SendOnly) return SDK_OK;
            const int r = awaitResponse(step);
            if (r != SDK_OK) return r;
            if (step == CodecStep::Complete) return SDK_OK;
        }
    }

    int send() {
        if (header_.length > wire::kMaxWritePayload) return SDK_ERR_LINK;  // never written: over 512 bytes
        trace("send code %u seq %u block %u retry %u len %u", code_, header_.seq, header_.block, header_.retry,
              header_.length);
        return writeResult(link_.writeFrame(header_, std::span(request_).first(header_.length)));
    }

    // Sends the same frame again with `retry`, which the answer must echo. Expected before the write, so
    // that a quick answer to the repeat is not refused.
    int repeat(std::uint8_t retry) {
        header_.retry = retry;
        state_.expectRetry(retry);
        return send();
    }

    // Waits for the matching response of the current block and hands it to the codec.
    int awaitResponse(CodecStep& step) {
        int timeouts = 0;
        int mismatches = 0;
        for (;;) {
            ExchangeState::Response response;
            const auto wait = state_.await(timings_.responseWait, response);
            if (wait == ExchangeState::Wait::Aborted) return SDK_ERR_ABORTED;
            if (wait == ExchangeState::Wait::TimedOut) {
                if (timeouts == kMaxTimeoutsPerBlock) return SDK_ERR_TIMEOUT;
                ++timeouts;
                if (const int r = repeat(static_cast<std::uint8_t>(timeouts)); r != SDK_OK) return r;
                continue;
            }
            if (!matches(response.header)) {
                state_.release();
                if (mismatches == kMaxMismatchesPerBlock) return SDK_ERR_LINK;
                ++mismatches;
                if (const int r = repeat(wire::kRetryAfterMismatch); r != SDK_OK) return r;
                continue;
            }
            step = codec_.onResponse(response.header.retry, response.payload, request_, length_);
            header_.length = length_;
            // The last response stays held until the exchange is closed, so that a scan read right after
            // it finds the exchange over and is delivered rather than refused.
            if (step == CodecStep::Continue) state_.release();
            return step == CodecStep::Refused ? SDK_ERR_DEVICE_REFUSED : SDK_OK;
        }
    }

    [[nodiscard]] bool matches(const wire::FrameHeader& response) const {
        return response.seq == header_.seq && response.block == header_.block && response.code() == code_;
    }

    SerialLink& link_;
    ExchangeState& state_;
    const std::uint8_t code_;
    CommandCodec& codec_;
    const Timings& timings_;
    wire::FrameHeader header_{};
    RequestBuffer request_{};
    std::uint16_t length_ = 0;
};

}  // namespace

int runExchange(SerialLink& link, std::uint8_t code, CommandCodec* codec, const Timings& timings) {
    if (codec == nullptr) return SDK_OK;
    return Exchange(link, code, *codec, timings).run();
}

}  // namespace zt::sdk

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

// State of one exchange on the command thread.
class Exchange {
public:
    Exchange(SerialLink& link, std::uint8_t code, CommandCodec& codec, const Timings& timings)
        : link_(link), code_(code), codec_(codec), timings_(timings) {
        header_.seq = link.sequence();
        header_.type = static_cast<std::uint8_t>(code | wire::kRequestBit);
    }

    int run() {
        link_.responses().release();  // a response nobody took must not satisfy this exchange
        CodecStep step = codec_.build(request_, length_);
        if (step == CodecStep::Refused) return SDK_ERR_OPEN_FAILED;
        header_.length = length_;
        link_.setExchangeActive(true);
        const int result = runBlocks(step);
        link_.setExpectedRetry(0);
        link_.setExchangeActive(false);
        if (result == SDK_OK) link_.advanceSequence();
        if (result == SDK_ERR_ABORTED) link_.signalAbortDone();
        return result;
    }

private:
    int runBlocks(CodecStep step) {
        for (std::uint8_t block = 0;; ++block) {  // block numbers wrap after 255
            if (link_.responses().abortRequested()) return SDK_ERR_ABORTED;
            header_.block = block;
            header_.retry = 0;
            link_.setExpectedRetry(0);
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

    // Sends the same frame again with `retry`, which the answer must echo.
    int repeat(std::uint8_t retry) {
        header_.retry = retry;
        link_.setExpectedRetry(retry);
        return send();
    }

    // Waits for the matching response of the current block and hands it to the codec.
    int awaitResponse(CodecStep& step) {
        ResponseHandoff& responses = link_.responses();
        int timeouts = 0;
        int mismatches = 0;
        for (;;) {
            wire::FrameHeader response{};
            const auto wait = responses.await(timings_.responseWait, response);
            if (wait == ResponseHandoff::Wait::Aborted) {
                responses.release();
                return SDK_ERR_ABORTED;
            }
            if (wait == ResponseHandoff::Wait::TimedOut) {
                responses.release();  // frees a receive thread that handed over just after the wait ended
                if (timeouts == kMaxTimeoutsPerBlock) return SDK_ERR_TIMEOUT;
                ++timeouts;
                if (const int r = repeat(static_cast<std::uint8_t>(timeouts)); r != SDK_OK) return r;
                continue;
            }
            if (!matches(response)) {
                responses.release();
                if (mismatches == kMaxMismatchesPerBlock) return SDK_ERR_LINK;
                ++mismatches;
                if (const int r = repeat(wire::kRetryAfterMismatch); r != SDK_OK) return r;
                continue;
            }
            link_.setExpectedRetry(0);
            step = codec_.onResponse(response.retry, link_.receivedPayload(response.length), request_, length_);
            header_.length = length_;
            responses.release();
            return step == CodecStep::Refused ? SDK_ERR_DEVICE_REFUSED : SDK_OK;
        }
    }

    [[nodiscard]] bool matches(const wire::FrameHeader& response) const {
        return response.seq == header_.seq && response.block == header_.block && response.code() == code_;
    }

    SerialLink& link_;
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

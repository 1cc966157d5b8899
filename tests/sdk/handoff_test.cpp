// The state of an exchange shared by the command thread, the receive thread and close().
#include "link/exchange_state.h"
#include "session/scanner_handle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>

namespace zt::sdk {
namespace {

using namespace std::chrono_literals;

// The receive thread offering `header` to an exchange on `state`. `freed` is set by the test just before
// it frees the response; an offer that returns earlier sees it unset, so the result says whether the
// offer waited (without a fixed window of "nothing happened").
struct OfferResult {
    ExchangeState::Offer offer;
    bool waitedUntilFreed;
};
std::future<OfferResult> offerAsync(ExchangeState& state, std::atomic<bool>& freed, wire::FrameHeader header = {}) {
    return std::async(std::launch::async, [&state, &freed, header] {
        const auto offer = state.offer(header, {});
        return OfferResult{offer, freed.load()};
    });
}

TEST(ExchangeState, ReleaseWithNothingHandedOverDoesNotLetALaterOfferSkipItsWait) {
    ExchangeState state;
    ASSERT_TRUE(state.open());
    state.release();  // a release when no response had arrived
    wire::FrameHeader h;
    h.seq = 7;
    std::atomic<bool> freed{false};
    auto receiver = offerAsync(state, freed, h);
    ExchangeState::Response got;
    ASSERT_EQ(state.await(5s, got), ExchangeState::Wait::Arrived);
    EXPECT_EQ(got.header.seq, 7);
    // While the exchange parses, the receive thread must still be waiting.
    freed = true;
    state.release();
    const auto result = receiver.get();
    EXPECT_EQ(result.offer, ExchangeState::Offer::Taken);
    EXPECT_TRUE(result.waitedUntilFreed);
}

TEST(ExchangeState, AwaitTimesOutAndAbortWakesIt) {
    ExchangeState state;
    ASSERT_TRUE(state.open());
    ExchangeState::Response r;
    EXPECT_EQ(state.await(10ms, r), ExchangeState::Wait::TimedOut);
    auto waiting = std::async(std::launch::async, [&] { return state.await(10s, r); });
    state.requestAbort();
    EXPECT_EQ(waiting.get(), ExchangeState::Wait::Aborted);
    EXPECT_TRUE(state.abortRequested());
    EXPECT_FALSE(state.waitClosed(0ms));
    state.close(false);
    EXPECT_TRUE(state.waitClosed(0ms));
    EXPECT_FALSE(state.open());  // no exchange starts while the link is being closed
    state.clearAbort();
    EXPECT_FALSE(state.abortRequested());
    state.requestShutdown();
    state.clearAbort();  // close() clears its abort; the shutdown stays
    EXPECT_FALSE(state.open());
    EXPECT_EQ(state.await(10s, r), ExchangeState::Wait::Aborted);
}

TEST(ExchangeState, CancelledSessionEndsAnOfferThatNobodyTakes) {
    ExchangeState state;
    ASSERT_TRUE(state.open());
    std::atomic<bool> freed{false};
    auto receiver = offerAsync(state, freed);
    ExchangeState::Response r;
    ASSERT_EQ(state.await(5s, r), ExchangeState::Wait::Arrived);
    state.cancelSession();
    EXPECT_EQ(receiver.get().offer, ExchangeState::Offer::Cancelled);
    EXPECT_EQ(state.offer({}, {}), ExchangeState::Offer::Cancelled);  // for the rest of the session
    state.beginSession();
    auto next = offerAsync(state, freed);
    ASSERT_EQ(state.await(5s, r), ExchangeState::Wait::Arrived);
    state.release();
    EXPECT_EQ(next.get().offer, ExchangeState::Offer::Taken);
}

TEST(ExchangeState, OnlyAnOpenExchangeExpectingThatRetryByteIsOfferedAResponse) {
    ExchangeState state;
    wire::FrameHeader h;
    EXPECT_EQ(state.offer(h, {}), ExchangeState::Offer::Dropped);  // no exchange
    ASSERT_TRUE(state.open());
    h.retry = 1;
    EXPECT_EQ(state.offer(h, {}), ExchangeState::Offer::Flush);  // a late answer while 0 is expected
    state.expectRetry(2);
    EXPECT_EQ(state.offer(h, {}), ExchangeState::Offer::Dropped);  // an answer to another repeat
    state.close(true);
    h.retry = 0;
    EXPECT_EQ(state.offer(h, {}), ExchangeState::Offer::Dropped);
    EXPECT_FALSE(state.exchangeOpen());
}

// The receive thread has handed a response over, and the exchange ends (or repeats its request) without
// taking it: the receive thread must go on at once, not wait for a later exchange.
TEST(ExchangeState, EndingOrRepeatingTheExchangeFreesAResponseItDidNotTake) {
    ExchangeState state;
    ASSERT_TRUE(state.open());
    std::atomic<bool> repeated{false};
    auto stale = offerAsync(state, repeated);
    ExchangeState::Response r;
    ASSERT_EQ(state.await(5s, r), ExchangeState::Wait::Arrived);  // handed over, not taken
    repeated = true;
    state.expectRetry(1);
    ASSERT_EQ(stale.wait_for(5s), std::future_status::ready);
    EXPECT_TRUE(stale.get().waitedUntilFreed);

    wire::FrameHeader repeat;
    repeat.retry = 1;
    std::atomic<bool> closed{false};
    auto late = offerAsync(state, closed, repeat);
    ASSERT_EQ(state.await(5s, r), ExchangeState::Wait::Arrived);
    closed = true;
    state.close(false);
    ASSERT_EQ(late.wait_for(5s), std::future_status::ready);
    EXPECT_TRUE(late.get().waitedUntilFreed);
}

TEST(ExchangeState, TheSequenceMovesOnlyAfterAFinishedExchangeAndWraps) {
    ExchangeState state;
    EXPECT_EQ(state.open(), std::optional<std::uint8_t>(0));
    state.close(false);
    EXPECT_EQ(state.open(), std::optional<std::uint8_t>(0));
    state.close(true);
    for (int i = 1; i < 256; ++i) {
        ASSERT_EQ(state.open(), std::optional<std::uint8_t>(static_cast<std::uint8_t>(i)));
        state.close(true);
    }
    EXPECT_EQ(state.sequence(), 0);
}

TEST(ScanRecord, RecordsAreTerminatedAndMeasuredWithinThePayload) {
    std::vector<std::uint8_t> payload(24, 0x01);
    const std::string text = "12345";
    for (const char c : text) payload.push_back(static_cast<std::uint8_t>(c));
    payload.push_back(0);
    payload.push_back(0x99);  // bytes after the terminator are kept but not counted
    auto record = makeScanRecord(payload);
    ASSERT_TRUE(record);
    EXPECT_EQ(scanRecordLength(*record), 30);

    payload.resize(24 + 3);  // "123" with no zero byte
    record = makeScanRecord(payload);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->size(), 28u);
    EXPECT_EQ(record->back(), 0);
    EXPECT_EQ(scanRecordLength(*record), 28);

    EXPECT_FALSE(makeScanRecord(std::vector<std::uint8_t>(23, 0)));
}

}  // namespace
}  // namespace zt::sdk

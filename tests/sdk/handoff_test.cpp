// The response hand-off between the receive thread and the exchange.
#include "link/response_handoff.h"
#include "session/scanner_handle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

namespace zt::sdk {
namespace {

using namespace std::chrono_literals;

TEST(ResponseHandoff, ReleaseWithNothingHandedOverDoesNotLetALaterHandOverSkipItsWait) {
    ResponseHandoff handoff;
    handoff.release();  // a time-out's release when no response had arrived
    std::atomic<bool> returned{false};
    std::thread receiver([&] {
        wire::FrameHeader h;
        h.seq = 7;
        EXPECT_TRUE(handoff.handOver(h));
        returned = true;
    });
    wire::FrameHeader got{};
    ASSERT_EQ(handoff.await(5s, got), ResponseHandoff::Wait::Arrived);
    EXPECT_EQ(got.seq, 7);
    // While the exchange parses, the receive thread must still be waiting.
    std::this_thread::sleep_for(20ms);  // gives a faulty hand-off the chance to run ahead (not a sync)
    EXPECT_FALSE(returned.load());
    handoff.release();
    receiver.join();
    EXPECT_TRUE(returned.load());
}

TEST(ResponseHandoff, AwaitTimesOutAndAbortWakesIt) {
    ResponseHandoff handoff;
    wire::FrameHeader h{};
    EXPECT_EQ(handoff.await(10ms, h), ResponseHandoff::Wait::TimedOut);
    auto waiting = std::async(std::launch::async, [&] { return handoff.await(10s, h); });
    handoff.requestAbort();
    EXPECT_EQ(waiting.get(), ResponseHandoff::Wait::Aborted);
    EXPECT_TRUE(handoff.abortRequested());
    handoff.clearAbort();
    EXPECT_FALSE(handoff.abortRequested());
    handoff.requestShutdown();
    handoff.clearAbort();  // close() clears its abort; the shutdown stays
    EXPECT_EQ(handoff.await(10s, h), ResponseHandoff::Wait::Aborted);
}

TEST(ResponseHandoff, CancelledSessionEndsAHandOverThatNobodyTakes) {
    ResponseHandoff handoff;
    auto receiver = std::async(std::launch::async, [&] { return handoff.handOver({}); });
    handoff.cancelSession();
    EXPECT_FALSE(receiver.get());
    EXPECT_FALSE(handoff.handOver({}));  // the rest of the session hands nothing over
    handoff.beginSession();
    auto next = std::async(std::launch::async, [&] { return handoff.handOver({}); });
    wire::FrameHeader h{};
    ASSERT_EQ(handoff.await(5s, h), ResponseHandoff::Wait::Arrived);
    handoff.release();
    EXPECT_TRUE(next.get());
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

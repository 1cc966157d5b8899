// ztInitialize with the shipped waits: a little over one second against an answering scanner (the settle
// wait and one exchange), about four against a silent one (three response waits).
//
// These measure the clock, so they run alone and not under ThreadSanitizer (label "realtime"). The
// waits themselves are read from the scanner's frame stamps, taken when the simulator read each frame:
// lower bounds are the SDK's waits, upper bounds only leave room for scheduling.
#include "sim_fixture.h"
#include "zt330sdk.h"

#include <gtest/gtest.h>

namespace zt::sdk::test {
namespace {

class RealTimingTest : public SimTest {
protected:
    void TearDown() override {
        (void)ztDeinitialize(nullptr, 1);
        SimTest::TearDown();
    }
    static long long msBetween(sim::Clock::time_point from, sim::Clock::time_point to) {
        return std::chrono::duration_cast<Ms>(to - from).count();
    }
};

TEST_F(RealTimingTest, AnsweringScannerOpensInALittleOverOneSecond) {
    auto& s = addScanner(5);
    int error = -99;
    const auto start = sim::Clock::now();
    ScannerHandle h = ztInitialize(5, &error, nullptr, nullptr);
    const auto end = sim::Clock::now();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(error, SDK_OK);
    const auto frames = s.frames();
    ASSERT_EQ(frames.size(), 1u) << "one handshake, answered at once";
    // The settle wait comes before the handshake is written; the call returns once it is answered.
    EXPECT_GE(msBetween(start, frames[0].at), 1000);
    EXPECT_LT(msBetween(start, frames[0].at), 1300);
    EXPECT_LT(msBetween(frames[0].at, end), 200);
}

// How much later than the SDK's write the simulator may stamp a frame on a busy machine.
constexpr long long kReadingDelayMs = 50;

TEST_F(RealTimingTest, SilentScannerTimesOutAfterAboutFourSeconds) {
    auto& s = addScanner(5);
    s.staySilent(3);
    int error = 0;
    const auto start = sim::Clock::now();
    EXPECT_EQ(ztInitialize(5, &error, nullptr, nullptr), nullptr);
    const auto end = sim::Clock::now();
    EXPECT_EQ(error, SDK_ERR_TIMEOUT);
    const auto frames = s.frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_GE(msBetween(start, frames[0].at), 1000);
    // Each repeat follows a whole response wait; the last wait ends the call.
    EXPECT_NEAR(static_cast<double>(msBetween(frames[0].at, frames[1].at)), 1000.0, 100.0);
    EXPECT_NEAR(static_cast<double>(msBetween(frames[1].at, frames[2].at)), 1000.0, 100.0);
    // The simulator stamps a frame when it has read it, a little after the SDK wrote it and began its
    // last wait: the wait seen from the stamp is up to that reading delay shorter.
    EXPECT_GE(msBetween(frames[2].at, end), 1000 - kReadingDelayMs);
    EXPECT_LT(msBetween(frames[2].at, end), 1300);
}

}  // namespace
}  // namespace zt::sdk::test

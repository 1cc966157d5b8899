// ztInitialize with the shipped waits: a little over one second against an answering scanner (the settle
// wait and one exchange), about four against a silent one (three response waits).
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
    static long long msSince(sim::Clock::time_point start) {
        return std::chrono::duration_cast<Ms>(sim::Clock::now() - start).count();
    }
};

TEST_F(RealTimingTest, AnsweringScannerOpensInALittleOverOneSecond) {
    addScanner(5);
    int error = -99;
    const auto start = sim::Clock::now();
    ScannerHandle h = ztInitialize(5, &error, nullptr, nullptr);
    const auto elapsed = msSince(start);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(error, SDK_OK);
    EXPECT_GE(elapsed, 1000);
    EXPECT_LT(elapsed, 1500);
}

TEST_F(RealTimingTest, SilentScannerTimesOutAfterAboutFourSeconds) {
    auto& s = addScanner(5);
    s.staySilent(3);
    int error = 0;
    const auto start = sim::Clock::now();
    EXPECT_EQ(ztInitialize(5, &error, nullptr, nullptr), nullptr);
    const auto elapsed = msSince(start);
    EXPECT_EQ(error, SDK_ERR_TIMEOUT);
    EXPECT_GE(elapsed, 3900);
    EXPECT_LT(elapsed, 4600);
    const auto frames = s.frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_NEAR(static_cast<double>(msBetween(frames[0], frames[1])), 1000.0, 100.0);
    EXPECT_NEAR(static_cast<double>(msBetween(frames[1], frames[2])), 1000.0, 100.0);
}

}  // namespace
}  // namespace zt::sdk::test

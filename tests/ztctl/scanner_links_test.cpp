// The retry rule of `listen`, on a clock the test moves: first after the first delay, then after each
// retry delay while retries last; a first connection that fails is not retried.
#include "scanner_links.h"
#include "zt330sdk.h"

#include <gtest/gtest.h>

namespace ztctl {
namespace {

using namespace std::chrono_literals;
using Clock = ScannerLinks::Clock;

class ScannerLinksTest : public ::testing::Test {
protected:
    const Clock::time_point t0 = Clock::now();
    ScannerLinks links{{5, 6}, ReconnectPolicy{}};
};

TEST_F(ScannerLinksTest, FirstConnectionThatFailsIsNotRetried) {
    EXPECT_EQ(links.openFailed(5, SDK_ERR_TIMEOUT, t0), "COM5: SDK_ERR_TIMEOUT (-9): the scanner did not answer");
    EXPECT_EQ(links.opened(6), "COM6: connected");
    EXPECT_TRUE(links.anyAlive());
    EXPECT_TRUE(links.anyFailed());
    EXPECT_FALSE(links.nextDue().has_value());
    EXPECT_TRUE(links.takeDue(t0 + 1h).empty());
}

TEST_F(ScannerLinksTest, DroppedScannerIsTriedAfter13sThenEvery5sWhileRetriesLast) {
    static_cast<void>(links.opened(5));
    EXPECT_EQ(links.lost(5, t0), "COM5: connection lost; reconnecting in 13 s");
    EXPECT_EQ(links.nextDue(), t0 + 13s);
    EXPECT_TRUE(links.takeDue(t0 + 12999ms).empty());
    auto due = t0 + 13s;
    for (const int left : {2, 1, 0}) {
        ASSERT_EQ(links.takeDue(due), std::vector<unsigned>{5});
        EXPECT_FALSE(links.nextDue().has_value()) << "connecting, not waiting";
        EXPECT_NE(links.openFailed(5, SDK_ERR_PORT_UNAVAILABLE, due).find(std::to_string(left) + " retr"),
                  std::string::npos);
        due += 5s;
        EXPECT_EQ(links.nextDue(), due);
    }
    ASSERT_EQ(links.takeDue(due), std::vector<unsigned>{5});
    EXPECT_NE(links.openFailed(5, SDK_ERR_PORT_UNAVAILABLE, due).find("giving up"), std::string::npos);
    EXPECT_TRUE(links.anyFailed());
    EXPECT_TRUE(links.anyAlive()) << "COM6 is still connecting";
}

TEST_F(ScannerLinksTest, ReconnectRestoresTheRetriesForTheNextDrop) {
    static_cast<void>(links.opened(5));
    static_cast<void>(links.lost(5, t0));
    ASSERT_EQ(links.takeDue(t0 + 13s).size(), 1U);
    static_cast<void>(links.openFailed(5, SDK_ERR_PORT_UNAVAILABLE, t0 + 13s));
    ASSERT_EQ(links.takeDue(t0 + 18s).size(), 1U);
    EXPECT_EQ(links.opened(5), "COM5: reconnected");
    static_cast<void>(links.lost(5, t0 + 60s));
    EXPECT_EQ(links.nextDue(), t0 + 73s);
    EXPECT_FALSE(links.anyFailed());
}

TEST(ScannerLinks, NoRetriesMeansADroppedScannerIsGone) {
    ScannerLinks links({5}, ReconnectPolicy{{}, 0});
    static_cast<void>(links.opened(5));
    static_cast<void>(links.lost(5, Clock::now()));
    EXPECT_FALSE(links.anyAlive());
    EXPECT_TRUE(links.anyFailed());
}

}  // namespace
}  // namespace ztctl

// Reports of scanners still being opened, and the reconnect schedule both clients follow.
#include "zt/client/opening_scanners.h"
#include "zt/client/reconnect_schedule.h"

#include <gtest/gtest.h>

#include <string>

namespace zt::client {
namespace {

ScannerHandle handle(int n) { return reinterpret_cast<ScannerHandle>(static_cast<std::uintptr_t>(0x1000 + n)); }

TEST(OpeningScanners, ReportsWaitUnderTheirHandleForTheOpenThatReturnsIt) {
    OpeningScanners<std::string> opening;
    EXPECT_FALSE(opening.keep(handle(1), "nobody opens")) << "no open runs: the report is nobody's";
    opening.begin(5);
    opening.begin(6);
    EXPECT_TRUE(opening.running());
    EXPECT_FALSE(opening.onlyOpen()) << "two opens: an unknown handle can be either's";
    EXPECT_TRUE(opening.keep(handle(6), "scan of 6"));
    EXPECT_TRUE(opening.keep(handle(5), "scan of 5"));
    EXPECT_TRUE(opening.keep(handle(6), "lost 6"));
    EXPECT_EQ(opening.finish(6, handle(6)), (std::vector<std::string>{"scan of 6", "lost 6"}));
    EXPECT_EQ(opening.onlyOpen(), 5u);
    EXPECT_EQ(opening.finish(5, handle(5)), (std::vector<std::string>{"scan of 5"}));
    EXPECT_FALSE(opening.running());
    EXPECT_TRUE(opening.finish(5, handle(5)).empty()) << "handed over once";
}

TEST(OpeningScanners, WhatNoOpenReturnedComesOutWhenTheLastOpenFails) {
    OpeningScanners<std::string> opening;
    opening.begin(5);
    opening.begin(5);  // the same port twice (a retry while the first still runs)
    EXPECT_TRUE(opening.keep(handle(9), "orphan"));
    EXPECT_TRUE(opening.fail(5).empty()) << "an open still runs: it may return the handle";
    EXPECT_EQ(opening.fail(5), (std::vector<std::string>{"orphan"}));
    EXPECT_FALSE(opening.running());
    opening.begin(7);
    EXPECT_TRUE(opening.keep(handle(9), "x"));
    opening.clear();
    EXPECT_FALSE(opening.running());
    EXPECT_TRUE(opening.fail(7).empty());
}

TEST(ReconnectSchedule, FirstAfter13sOr45sThenRetriesEvery5s) {
    const ReconnectSchedule schedule;
    EXPECT_EQ(schedule.firstDelay(false), std::chrono::seconds(13));
    EXPECT_EQ(schedule.firstDelay(true), std::chrono::seconds(45));
    EXPECT_EQ(schedule.retryDelay, std::chrono::seconds(5));
    EXPECT_TRUE(ReconnectSchedule::lastOfMany(0, 4));
    EXPECT_FALSE(ReconnectSchedule::lastOfMany(0, 3));
    EXPECT_FALSE(ReconnectSchedule::lastOfMany(1, 16));
    int left = ReconnectSchedule::kDefaultRetries;
    int retries = 0;
    while (ReconnectSchedule::takeRetry(left)) ++retries;
    EXPECT_EQ(retries, 3);
    EXPECT_EQ(left, 0);
    int none = -1;  // a manual request after the long wait: no retries
    EXPECT_FALSE(ReconnectSchedule::takeRetry(none));
    EXPECT_EQ(none, -1);
}

}  // namespace
}  // namespace zt::client

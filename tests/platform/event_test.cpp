#include "zt/platform/event.h"
#include "zt/platform/tick.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace zt::platform {
namespace {

using namespace std::chrono_literals;

TEST(AutoResetEvent, KeepsASignalSentBeforeTheWaitAndWakesOneWaiterOnce) {
    AutoResetEvent event;
    event.signal();
    event.signal();  // signals do not count up
    EXPECT_TRUE(event.waitFor(0ms));
    EXPECT_FALSE(event.waitFor(10ms));
    auto waiter = std::async(std::launch::async, [&] { return event.waitFor(10s); });
    event.signal();
    EXPECT_TRUE(waiter.get());
    event.signal();
    event.reset();
    EXPECT_FALSE(event.waitFor(0ms));
}

TEST(ManualResetEvent, StaysSignalledForEveryWaiterUntilReset) {
    ManualResetEvent event;
    EXPECT_FALSE(event.waitFor(5ms));
    auto a = std::async(std::launch::async, [&] { return event.waitFor(10s); });
    auto b = std::async(std::launch::async, [&] { return event.waitFor(10s); });
    event.signal();
    EXPECT_TRUE(a.get());
    EXPECT_TRUE(b.get());
    EXPECT_TRUE(event.isSignalled());
    event.reset();
    EXPECT_FALSE(event.waitFor(0ms));
    EXPECT_TRUE(ManualResetEvent(true).isSignalled());
}

TEST(TickCount, AdvancesInMilliseconds) {
    const std::uint32_t start = tickCount();
    std::this_thread::sleep_for(20ms);                  // measuring the clock itself
    const std::uint32_t elapsed = tickCount() - start;  // subtraction survives the wrap
    EXPECT_GE(elapsed, 20u);
    EXPECT_LT(elapsed, 1000u);
}

}  // namespace
}  // namespace zt::platform

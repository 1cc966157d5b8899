// The handle's busy lock: a short try that gives up, a wait that does not, and a release that lets a
// trying caller in.
#include "session/busy_lock.h"

#include <gtest/gtest.h>

#include <future>
#include <mutex>

namespace zt::sdk {
namespace {

using namespace std::chrono_literals;

TEST(BusyLock, ATryGivesUpAfterItsWaitOnTheSteadyClock) {
    static_assert(BusyLock::Clock::is_steady, "a wall-clock step must not change the 1 ms try");
    BusyLock busy;
    std::unique_lock held(busy);
    const auto start = BusyLock::Clock::now();
    const bool got = std::async(std::launch::async, [&] { return busy.try_lock_for(1ms); }).get();
    EXPECT_FALSE(got);
    EXPECT_GE(BusyLock::Clock::now() - start, 1ms);
    EXPECT_FALSE(busy.try_lock());
}

TEST(BusyLock, AReleaseLetsAWaitingCallerIn) {
    BusyLock busy;
    std::unique_lock held(busy);
    auto trying = std::async(std::launch::async, [&] {
        std::unique_lock lock(busy, std::defer_lock);
        return lock.try_lock_for(60s);  // ends when the lock is free, not after a minute
    });
    held.unlock();
    ASSERT_EQ(trying.wait_for(10s), std::future_status::ready);
    EXPECT_TRUE(trying.get());
    EXPECT_TRUE(busy.try_lock());
    busy.unlock();
}

TEST(BusyLock, LockWaitsForTheHolder) {
    BusyLock busy;
    std::unique_lock held(busy);
    auto waiting = std::async(std::launch::async, [&] {
        std::lock_guard lock(busy);
        return true;
    });
    held.unlock();
    ASSERT_EQ(waiting.wait_for(10s), std::future_status::ready);
    EXPECT_TRUE(waiting.get());
}

}  // namespace
}  // namespace zt::sdk

// The route of the SDK's context-free callbacks: one target at a time, and detaching waits for a callback
// that is inside the target, so that the target can go right after.
#include "zt/client/callback_route.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace zt::client {
namespace {

using namespace std::chrono_literals;

struct Target {
    std::atomic<int> progress{0};
    std::atomic<int> lost{0};
    std::promise<void> entered;
    std::shared_future<void> release;
    bool blocking = false;

    void onProgress(int total, int received) {
        progress += total + received;
        if (blocking) {
            entered.set_value();
            release.wait();
        }
    }
    void onDisconnect(ScannerHandle) { ++lost; }
    void onScanData(ScannerHandle, const unsigned char*, int, int) {}
};

using Route = CallbackRoute<Target>;
using Callbacks = RoutedCallbacks<Target>;

TEST(CallbackRoute, ReachesTheAttachedTargetOnlyAndOneAtATime) {
    Callbacks::onProgress(1, 1);  // nobody attached: nothing happens
    Target first;
    Target second;
    {
        const Route::Attachment attached(first);
        ASSERT_TRUE(attached.attached());
        EXPECT_FALSE(Route::attach(second)) << "a second target while one is attached";
        Callbacks::onProgress(2, 3);
        Callbacks::onDisconnect(nullptr);
    }
    Callbacks::onProgress(100, 100);  // detached
    EXPECT_EQ(first.progress, 5);
    EXPECT_EQ(first.lost, 1);
    EXPECT_EQ(second.progress, 0);
    const Route::Attachment now(second);
    EXPECT_TRUE(now.attached());
    Callbacks::onProgress(1, 0);
    EXPECT_EQ(second.progress, 1);
}

TEST(CallbackRoute, DetachWaitsForTheCallbackInsideTheTarget) {
    Target target;
    std::promise<void> release;
    target.release = release.get_future().share();
    target.blocking = true;
    ASSERT_TRUE(Route::attach(target));
    std::thread sdk([] { Callbacks::onProgress(1, 2); });
    target.entered.get_future().wait();

    auto detached = std::async(std::launch::async, [&target] { Route::detach(target); });
    EXPECT_EQ(detached.wait_for(50ms), std::future_status::timeout) << "returned while a callback was inside";
    release.set_value();
    EXPECT_EQ(detached.wait_for(5s), std::future_status::ready);
    sdk.join();
    EXPECT_EQ(target.progress, 3);
    Callbacks::onProgress(5, 5);  // after the detach: not routed
    EXPECT_EQ(target.progress, 3);
}

}  // namespace
}  // namespace zt::client

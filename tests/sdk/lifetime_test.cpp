// A handle's lifetime as the callbacks see it: events of an open under way, a close racing callbacks of
// its own and of other handles, a shutdown that must not wait for a callback, and the process's end
// from inside a callback. The scanners are scripted on in-memory pipes; races are set up with the
// registry's hooks, never by timing.
#include "memory_scanner.h"
#include "session/session_registry.h"
#include "sim_fixture.h"
#include "zt330sdk.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <future>
#include <optional>
#include <thread>

namespace zt::lifetime_test {
namespace {

using namespace sdk::test;
using sdk::RegistryHooks;
using sdk::SessionRegistry;
using sdk::Timings;
using wire::PacketType;

// A latch a callback waits at until the test opens it (or the deadline fails the test).
class Latch {
public:
    void open() {
        waiter_.notify([&] { open_ = true; });
    }
    [[nodiscard]] bool wait(Ms timeout = 5000ms) {
        return waiter_.waitUntil([&] { return open_; }, timeout);
    }

private:
    Waiter waiter_;
    bool open_ = false;
};

struct Event {
    enum Kind { Scan, Lost } kind;
    ::ScannerHandle handle;
    std::string text;
};

// What the callbacks saw, and what they should do; the callbacks are plain functions.
struct Script {
    Waiter waiter;
    std::vector<Event> events;
    // Set by the test thread once ztInitialize returned, read by callbacks.
    std::atomic<::ScannerHandle> returned{nullptr};
    // A callback for this handle waits at `gate` (when set) and then says it finished.
    std::atomic<::ScannerHandle> blockOn{nullptr};
    Latch gate;
    std::atomic<bool> blockedCallbackEntered{false};
    std::atomic<bool> blockedCallbackFinished{false};
    std::atomic<int> exitCode{-1};             // a callback calls exit() with it when set
    std::atomic<bool> closeInCallback{false};  // a scan callback closes its own handle
    std::atomic<long long> blockMs{10000};     // how long a blocked callback waits at most
    std::optional<int> closeResult;
};
Script* gScript = nullptr;

void blockIfAsked(::ScannerHandle h) {
    if (h != gScript->blockOn.load()) return;
    gScript->waiter.notify([] { gScript->blockedCallbackEntered = true; });
    (void)gScript->gate.wait(Ms(gScript->blockMs.load()));
    gScript->waiter.notify([] { gScript->blockedCallbackFinished = true; });
}

void onLost(::ScannerHandle h) {
    if (gScript->exitCode >= 0) std::exit(gScript->exitCode);
    gScript->waiter.notify([&] { gScript->events.push_back({Event::Lost, h, {}}); });
    blockIfAsked(h);
}

void onScan(::ScannerHandle h, const unsigned char* record, int length, int) {
    if (gScript->exitCode >= 0) std::exit(gScript->exitCode);
    const std::string text(reinterpret_cast<const char*>(record) + 24, static_cast<std::size_t>(length - 25));
    if (gScript->closeInCallback) {
        const int r = ztDeinitialize(h, 0);
        gScript->waiter.notify([&] { gScript->closeResult = r; });
        return;
    }
    gScript->waiter.notify([&] { gScript->events.push_back({Event::Scan, h, text}); });
    blockIfAsked(h);
}

class Lifetime : public ::testing::Test {
protected:
    void SetUp() override {
        gScript = &script_;
        SessionRegistry::instance().setTimings(fastTimings());
        SessionRegistry::instance().setTransportOpener(ports_.opener());
    }
    void TearDown() override {
        script_.gate.open();  // whatever a failed test left blocked
        SessionRegistry::instance().setHooks({});
        (void)ztDeinitialize(nullptr, 1);
        // The shutdown does not wait for a callback that still runs; this test's state must outlive it.
        SessionRegistry::instance().joinRetiredDispatchers();
        SessionRegistry::instance().setTimings(Timings{});
        SessionRegistry::instance().setTransportOpener({});
        gScript = nullptr;
    }
    ::ScannerHandle open(unsigned port) {
        int error = -99;
        ::ScannerHandle h = ztInitialize(port, &error, onLost, onScan);
        EXPECT_EQ(error, SDK_OK);
        return h;
    }
    bool waitEvents(std::size_t n, Ms timeout = 5000ms) {
        return script_.waiter.waitUntil([&] { return script_.events.size() >= n; }, timeout);
    }
    std::vector<Event> events() {
        return script_.waiter.read([&] { return script_.events; });
    }
    bool waitBlockedCallback() {
        return script_.waiter.waitUntil([&] { return script_.blockedCallbackEntered.load(); });
    }
    // Scans are acknowledged after they are posted: once the scanner has the acknowledgement, the SDK
    // holds the scan.
    static void sendAcknowledgedScan(MemoryScanner& s, const std::string& text) {
        const auto before = s.frames().size();
        ASSERT_TRUE(s.sendPacket(PacketType::ScanData, scanRecordBytes(text)));
        ASSERT_TRUE(s.waitForFrameCount(before + 1)) << "no acknowledgement";
    }
    MemoryScanner& addScanner(int port) { return ports_.add(port); }

    static void expectRetiredThreadsEnd() {
        auto joined = std::async(std::launch::async, [] { SessionRegistry::instance().joinRetiredDispatchers(); });
        EXPECT_EQ(joined.wait_for(5s), std::future_status::ready) << "a retired dispatcher thread never ended";
    }

    MemoryPorts ports_;  // outlives the handles: the shutdown in TearDown closes them first
    Script script_;
};

TEST_F(Lifetime, ScanAcknowledgedDuringTheOpenIsDeliveredOnceTheHandleIsReturned) {
    auto& s = addScanner(5);
    RegistryHooks hooks;
    hooks.beforeListing = [&](const ZtScanner*) { sendAcknowledgedScan(s, "early"); };
    SessionRegistry::instance().setHooks(hooks);
    ::ScannerHandle h = open(5);
    ASSERT_NE(h, nullptr);
    ASSERT_TRUE(waitEvents(1));
    EXPECT_EQ(events()[0].handle, h);
    EXPECT_EQ(events()[0].text, "early");
}

TEST_F(Lifetime, ScannerLostDuringTheOpenIsReportedAfterTheHandleWasReturned) {
    // Scan, then loss, both before the handle is listed: the open still returns the handle, and the
    // scan and then the loss are delivered for it. The loss callback waits until the test thread has
    // the handle: it must not have run (and freed the handle) before.
    auto& s = addScanner(5);
    RegistryHooks hooks;
    Waiter held;
    bool lossHeld = false;
    hooks.eventHeld = [&](const sdk::Notification& n) {
        if (n.kind == sdk::Notification::Kind::Disconnected) held.notify([&] { lossHeld = true; });
    };
    hooks.beforeListing = [&](const ZtScanner*) {
        sendAcknowledgedScan(s, "last words");
        s.hangUp();
        ASSERT_TRUE(held.waitUntil([&] { return lossHeld; })) << "the loss was never reported";
    };
    SessionRegistry::instance().setHooks(hooks);
    ::ScannerHandle h = open(5);
    script_.returned = h;
    ASSERT_NE(h, nullptr);
    ASSERT_TRUE(waitEvents(2));
    const auto seen = events();
    EXPECT_EQ(seen[0].kind, Event::Scan);
    EXPECT_EQ(seen[0].handle, h);
    EXPECT_EQ(seen[1].kind, Event::Lost);
    EXPECT_EQ(seen[1].handle, h);
    EXPECT_EQ(ztDeinitialize(h, 0), SDK_ERR_UNKNOWN_HANDLE);
}

TEST_F(Lifetime, LastCloseWaitsForItsRunningCallbackAndDeliversWhatWasQueued) {
    // The first scan's callback runs (blocked) when the close begins, the second scan is queued behind
    // it: the close returns only after both were delivered, though it stops the dispatcher.
    auto& s = addScanner(5);
    ::ScannerHandle h = open(5);
    ASSERT_NE(h, nullptr);
    script_.blockOn = h;
    sendAcknowledgedScan(s, "slow");
    ASSERT_TRUE(waitBlockedCallback());
    sendAcknowledgedScan(s, "queued");
    RegistryHooks hooks;
    hooks.closeWaiting = [&](const ZtScanner*) { script_.gate.open(); };  // only once the close waits
    SessionRegistry::instance().setHooks(hooks);
    EXPECT_EQ(ztDeinitialize(h, 0), SDK_OK);
    EXPECT_TRUE(script_.blockedCallbackFinished.load()) << "the close returned while a callback of its handle ran";
    const auto seen = events();
    ASSERT_EQ(seen.size(), 2u) << "a queued scan was dropped";
    EXPECT_EQ(seen[1].text, "queued");
    EXPECT_EQ(SessionRegistry::instance().dispatcherThreads(), 0u);
}

TEST_F(Lifetime, CloseOfOneHandleNeverWaitsForAnotherHandlesCallback) {
    // The dispatcher is inside A's loss callback, which waits for the closing thread; B is the last
    // listed handle and has a scan queued behind that callback. B's close delivers B's scan and returns.
    auto& a = addScanner(5);
    auto& b = addScanner(6);
    ::ScannerHandle ha = open(5);
    ::ScannerHandle hb = open(6);
    ASSERT_NE(ha, nullptr);
    ASSERT_NE(hb, nullptr);
    script_.blockOn = ha;
    a.hangUp();
    ASSERT_TRUE(waitBlockedCallback());
    sendAcknowledgedScan(b, "queued");
    auto closing = std::async(std::launch::async, [&] { return ztDeinitialize(hb, 0); });
    const bool returned = closing.wait_for(5s) == std::future_status::ready;
    const auto seenAtReturn = events();
    script_.gate.open();  // A's callback may finish now
    ASSERT_TRUE(returned) << "closing B waited for A's callback";
    EXPECT_EQ(closing.get(), SDK_OK);
    ASSERT_EQ(seenAtReturn.size(), 2u);
    EXPECT_EQ(seenAtReturn[1].handle, hb);
    EXPECT_EQ(seenAtReturn[1].text, "queued");
    // The retired dispatcher thread ends with A's callback and is joined.
    expectRetiredThreadsEnd();
    EXPECT_EQ(ztDeinitialize(nullptr, 1), SDK_SHUTDOWN_NOT_RUNNING);
    EXPECT_EQ(SessionRegistry::instance().dispatcherThreads(), 0u);
}

TEST_F(Lifetime, EventsOfOneHandleKeepTheirOrderAcrossAHandOver) {
    // A's callback blocks while A has a second scan queued; closing B hands the queue to a new
    // dispatcher thread. A's second scan must still come after its first returned, never beside it.
    auto& a = addScanner(5);
    auto& b = addScanner(6);
    auto& c = addScanner(7);
    ::ScannerHandle ha = open(5);
    ::ScannerHandle hb = open(6);
    ASSERT_NE(open(7), nullptr);
    script_.blockOn = ha;
    sendAcknowledgedScan(a, "a1");
    ASSERT_TRUE(waitBlockedCallback());
    sendAcknowledgedScan(a, "a2");
    sendAcknowledgedScan(b, "b1");
    EXPECT_EQ(ztDeinitialize(hb, 0), SDK_OK);
    sendAcknowledgedScan(c, "c1");  // served by the new dispatcher while A's callback still blocks
    ASSERT_TRUE(waitEvents(3));
    script_.blockOn = nullptr;
    script_.gate.open();
    ASSERT_TRUE(waitEvents(4));
    std::string order;
    for (const auto& e : events()) order += e.text + " ";
    EXPECT_EQ(order, "a1 b1 c1 a2 ");
}

TEST_F(Lifetime, ShutdownDoesNotWaitForACallbackThatWaitsForIt) {
    auto& a = addScanner(5);
    addScanner(6);
    ::ScannerHandle ha = open(5);
    ::ScannerHandle hb = open(6);
    ASSERT_NE(hb, nullptr);
    script_.blockOn = ha;
    a.hangUp();
    ASSERT_TRUE(waitBlockedCallback());
    auto stopping = std::async(std::launch::async, [] { return ztDeinitialize(nullptr, 1); });
    const bool returned = stopping.wait_for(5s) == std::future_status::ready;
    script_.gate.open();
    ASSERT_TRUE(returned) << "the shutdown waited for a callback";
    EXPECT_EQ(stopping.get(), SDK_SHUTDOWN_DONE);
    int x = 0, y = 0;
    EXPECT_EQ(ztGetBatteryStatus(hb, &x, &y), SDK_ERR_INVALID_HANDLE);
    expectRetiredThreadsEnd();
    EXPECT_EQ(SessionRegistry::instance().dispatcherThreads(), 0u);
    addScanner(7);
    ASSERT_NE(open(7), nullptr);  // a new start works as before
    EXPECT_EQ(SessionRegistry::instance().dispatcherThreads(), 1u);
}

TEST_F(Lifetime, LastCloseFromACallbackRetiresTheDispatcher) {
    // A callback cannot wait for its own thread: closing its handle from it neither waits nor deadlocks,
    // and the dispatcher thread, retired, is joined by the next call.
    auto& s = addScanner(5);
    ::ScannerHandle h = open(5);
    ASSERT_NE(h, nullptr);
    script_.closeInCallback = true;
    s.sendPacket(PacketType::ScanData, scanRecordBytes("bye"));
    ASSERT_TRUE(script_.waiter.waitUntil([&] { return script_.closeResult.has_value(); }));
    EXPECT_EQ(*script_.waiter.read([&] { return script_.closeResult; }), SDK_OK);
    int x = 0, y = 0;
    EXPECT_EQ(ztGetBatteryStatus(h, &x, &y), SDK_ERR_INVALID_HANDLE);
    expectRetiredThreadsEnd();
    EXPECT_EQ(ztDeinitialize(nullptr, 1), SDK_SHUTDOWN_NOT_RUNNING);
    EXPECT_EQ(SessionRegistry::instance().dispatcherThreads(), 0u);
}

TEST_F(Lifetime, AtTheEndALossCallbackThatIsReturningIsJoined) {
    // The loss callback of the last scanner has told the main thread, which ends the process, and is
    // still returning: its dispatcher thread is waited for and joined, not left unjoined.
    auto& s = addScanner(5);
    ::ScannerHandle h = open(5);
    ASSERT_NE(h, nullptr);
    script_.blockOn = h;
    s.hangUp();
    ASSERT_TRUE(waitBlockedCallback());
    RegistryHooks hooks;
    hooks.exitWaiting = [this] { script_.gate.open(); };
    SessionRegistry::instance().setHooks(hooks);
    SessionRegistry::instance().shutdownAtExit();
    EXPECT_TRUE(script_.blockedCallbackFinished);
    EXPECT_EQ(SessionRegistry::instance().dispatcherThreads(), 0u);
}

TEST_F(Lifetime, AtTheEndACallbackThatWaitsForTheEndingThreadIsLeftAfterTheCloseWait) {
    Timings t = fastTimings();
    t.closeWait = 50ms;
    SessionRegistry::instance().setTimings(t);
    auto& s = addScanner(5);
    ::ScannerHandle h = open(5);
    ASSERT_NE(h, nullptr);
    script_.blockOn = h;
    s.hangUp();
    ASSERT_TRUE(waitBlockedCallback());
    auto ending = std::async(std::launch::async, [] { SessionRegistry::instance().shutdownAtExit(); });
    const bool returned = ending.wait_for(5s) == std::future_status::ready;
    EXPECT_TRUE(returned) << "the process's end waited for a callback beyond the close wait";
    EXPECT_FALSE(script_.blockedCallbackFinished);
    EXPECT_EQ(SessionRegistry::instance().dispatcherThreads(), 1u);
    script_.gate.open();
    expectRetiredThreadsEnd();
}

TEST_F(Lifetime, ShutdownCutsAnOpenUnderWayShort) {
    // A silent scanner with long response waits: the open would take three of them.
    Timings slow = fastTimings();
    slow.responseWait = 20s;
    SessionRegistry::instance().setTimings(slow);
    auto& s = addScanner(5);
    s.staySilent(3);
    auto opening = std::async(std::launch::async, [&] {
        int error = 0;
        ::ScannerHandle h = ztInitialize(5, &error, onLost, onScan);
        return std::pair{h, error};
    });
    ASSERT_TRUE(s.waitForFrameCount(1));  // the handshake is under way
    auto stopping = std::async(std::launch::async, [] { return ztDeinitialize(nullptr, 1); });
    ASSERT_EQ(stopping.wait_for(5s), std::future_status::ready) << "the shutdown waited for the open";
    EXPECT_EQ(stopping.get(), SDK_SHUTDOWN_DONE);
    ASSERT_EQ(opening.wait_for(5s), std::future_status::ready) << "the open ran on";
    const auto [h, error] = opening.get();
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(error, SDK_ERR_ABORTED);
    EXPECT_EQ(ztDeinitialize(nullptr, 1), SDK_SHUTDOWN_NOT_RUNNING);
}

TEST_F(Lifetime, ShutdownCutsTheSettleWaitShort) {
    Timings slow = fastTimings();
    slow.settleAfterOpen = 60s;
    SessionRegistry::instance().setTimings(slow);
    addScanner(5);
    Waiter opened;
    bool portOpen = false;
    auto memory = ports_.opener();
    SessionRegistry::instance().setTransportOpener([&](std::string_view name, sdk::OpenError& error) {
        auto transport = memory(name, error);
        opened.notify([&] { portOpen = true; });  // the settle wait follows
        return transport;
    });
    auto opening = std::async(std::launch::async, [&] {
        int error = 0;
        (void)ztInitialize(5, &error, onLost, onScan);
        return error;
    });
    ASSERT_TRUE(opened.waitUntil([&] { return portOpen; }));
    EXPECT_EQ(ztDeinitialize(nullptr, 1), SDK_SHUTDOWN_DONE);
    ASSERT_EQ(opening.wait_for(5s), std::future_status::ready) << "the open sat out its settle wait";
    EXPECT_EQ(opening.get(), SDK_ERR_ABORTED);
}

// The process ends from inside a callback, or while one blocks: exit() must end it with its status,
// not in std::terminate. Each case runs in a child process.
class LifetimeExit : public Lifetime {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        // exit() leaves this fixture's own scanner threads unjoined on the child's stack, which the
        // thread sanitizer would report as leaks and turn into another exit status.
        const char* options = std::getenv("TSAN_OPTIONS");
        const std::string tsan = std::string(options != nullptr ? options : "") + " report_thread_leaks=0";
        ::setenv("TSAN_OPTIONS", tsan.c_str(), 1);
        Lifetime::SetUp();
    }
};

TEST_F(LifetimeExit, FromAScanCallback) {
    EXPECT_EXIT(
        {
            auto& s = addScanner(5);
            if (open(5) == nullptr) std::_Exit(90);
            script_.exitCode = 3;
            s.sendPacket(PacketType::ScanData, scanRecordBytes("x"));
            (void)script_.gate.wait(10000ms);  // never opened: exit() comes first
            std::_Exit(91);
        },
        ::testing::ExitedWithCode(3), "");
}

TEST_F(LifetimeExit, FromALossCallback) {
    EXPECT_EXIT(
        {
            auto& s = addScanner(5);
            addScanner(6);
            if (open(5) == nullptr || open(6) == nullptr) std::_Exit(90);
            script_.exitCode = 4;
            s.hangUp();
            (void)script_.gate.wait(10000ms);
            std::_Exit(91);
        },
        ::testing::ExitedWithCode(4), "");
}

std::atomic<bool> gProgressExit{false};
void exitFromProgress(int, int) {
    if (gProgressExit) std::exit(5);
}

TEST_F(LifetimeExit, FromAProgressCallback) {
    EXPECT_EXIT(
        {
            auto& s = addScanner(5);
            s.answerWith(wire::Command::Collect, {1, 3, 0, 0, 0});  // three records announced
            ::ScannerHandle h = open(5);
            if (h == nullptr) std::_Exit(90);
            gProgressExit = true;
            int count = 0;
            (void)ztPrepareCollecting(h, &count, exitFromProgress);
            std::_Exit(91);
        },
        ::testing::ExitedWithCode(5), "");
}

TEST_F(LifetimeExit, WhileACallbackBlocks) {
    // The callback would block for a minute: the process must end without waiting for it.
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EXIT(
        {
            auto& s = addScanner(5);
            ::ScannerHandle h = open(5);
            if (h == nullptr) std::_Exit(90);
            script_.blockMs = 60000;
            script_.blockOn = h;
            (void)s.sendPacket(PacketType::ScanData, scanRecordBytes("stuck"));
            if (!waitBlockedCallback()) std::_Exit(92);
            std::exit(6);
        },
        ::testing::ExitedWithCode(6), "");
    EXPECT_LT(std::chrono::steady_clock::now() - started, 30s) << "the exit waited for the blocked callback";
}

}  // namespace
}  // namespace zt::lifetime_test

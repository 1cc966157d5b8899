// The command engine over the in-memory pipe: the re-check of the scanner after a carrier change, and a
// teardown that cuts an open short.
#include "codecs/value_codecs.h"
#include "engine/command_engine.h"
#include "memory_scanner.h"
#include "zt330sdk.h"

#include <gtest/gtest.h>

#include <future>

namespace zt::sdk::test {
namespace {

using namespace std::chrono_literals;
using wire::Command;

class LossObserver final : public LinkObserver {
public:
    void onPortLost(int) override {
        {
            std::lock_guard lock(mutex_);
            ++lost_;
        }
        cv_.notify_all();
    }
    void onScannerPacket(int, wire::PacketType, std::span<const std::uint8_t>) override {}
    [[nodiscard]] bool waitForLoss() {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, 5s, [&] { return lost_ > 0; });
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    int lost_ = 0;
};

// Answers must come within the response wait, or a repeat upsets the frame counts: a wait that tests
// sit out three times is short, the others are long enough for a loaded machine.
Timings engineTimings(std::chrono::milliseconds responseWait) {
    Timings t;
    t.settleAfterOpen = 0ms;
    t.readTimeout = 200ms;
    t.responseWait = responseWait;
    t.closeWait = 2000ms;
    return t;
}

class EngineOverMemory : public ::testing::Test {
protected:
    void start(std::chrono::milliseconds responseWait) {
        engine_ = std::make_unique<CommandEngine>(observer_, engineTimings(responseWait), ports_.opener());
        engine_->connect("COM5");
        ASSERT_EQ(engine_->waitOpenFinished(), SDK_OK);
    }
    std::size_t handshakes() const {
        std::size_t n = 0;
        for (const auto& f : scanner_.frames()) n += f.header.type == 0x82 ? 1 : 0;
        return n;
    }

    LossObserver observer_;
    MemoryPorts ports_;
    MemoryScanner& scanner_ = ports_.add(5, true);
    std::unique_ptr<CommandEngine> engine_;
};

TEST_F(EngineOverMemory, ACarrierChangeRechecksTheScannerWhichStillAnswers) {
    start(2000ms);
    scanner_.setCarrier(false);
    ASSERT_TRUE(scanner_.waitForFrames([](const auto& f) { return f.size() >= 2; }));
    const auto frames = scanner_.frames();
    EXPECT_EQ(frames[1].bytes, (Bytes{0x7E, 1, 0, 0, 0x82, 2, 0, 0x31, 0x01, 0, 0}));  // the next seq
    EXPECT_TRUE(engine_->connected());
    BatteryCodec battery;
    scanner_.answerWith(Command::Battery, {0x00, 4, 5});
    EXPECT_EQ(engine_->submit(Command::Battery, &battery), SDK_OK);
    EXPECT_EQ(battery.first, 4);
}

TEST_F(EngineOverMemory, AScannerSilentAtTheRecheckIsReportedLost) {
    start(50ms);
    scanner_.clearFrames();
    scanner_.staySilent(3);
    scanner_.setCarrier(false);
    ASSERT_TRUE(observer_.waitForLoss());
    EXPECT_EQ(handshakes(), 3u);  // the re-check, tried three times
    EXPECT_TRUE(scanner_.waitClosedBySdk());
    BatteryCodec battery;
    EXPECT_EQ(engine_->submit(Command::Battery, &battery), SDK_ERR_PORT_LOST);
}

TEST(EngineShutdown, CutsShortAnOpenThatSettles) {
    Timings timings = engineTimings(2000ms);
    timings.settleAfterOpen = 60s;
    LossObserver observer;
    MemoryPorts ports;
    auto& scanner = ports.add(5);
    auto engine = std::make_unique<CommandEngine>(observer, timings, ports.opener());
    engine->connect("COM5");
    // The port is open once the scanner has a connection; the engine then sits in its settle wait.
    for (int i = 0; i < 100 && scanner.connections() == 0; ++i) {
        (void)scanner.waitForFrameCount(1, 10ms);  // a bounded wait on the scanner, not a sleep
    }
    ASSERT_EQ(scanner.connections(), 1);
    auto ended = std::async(std::launch::async, [&] { engine.reset(); });
    EXPECT_EQ(ended.wait_for(5s), std::future_status::ready);
}

}  // namespace
}  // namespace zt::sdk::test

// The command engine and serial link against a simulated scanner: exchanges, repeats, time-outs,
// mismatches, refusals, sequence numbers, scanner packets and port loss.
#include "codecs/value_codecs.h"
#include "engine/command_engine.h"
#include "sim_fixture.h"
#include "zt330sdk.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace zt::sdk::test {
namespace {

using wire::Command;
using wire::PacketType;

class RecordingObserver final : public LinkObserver {
public:
    void onPortLost(int port) override {
        waiter.notify([&] {
            ++lost;
            lostPort = port;
        });
    }
    void onScannerPacket(int, PacketType type, std::span<const std::uint8_t> record) override {
        waiter.notify([&] { packets.emplace_back(type, sim::Bytes(record.begin(), record.end())); });
    }
    Waiter waiter;
    int lost = 0;
    int lostPort = -1;
    std::vector<std::pair<PacketType, sim::Bytes>> packets;
};

// Answers battery requests with status 0 and the values 7, 9.
std::optional<sim::Bytes> batteryAnswer(const wire::FrameHeader&, std::span<const std::uint8_t>) {
    return sim::Bytes{0x00, 7, 9};
}

class EngineTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        scanner_ = &addScanner(5);
        scanner_->teach(Command::Battery, batteryAnswer);
        engine_ = std::make_unique<CommandEngine>(observer_, timings_);
    }
    void TearDown() override {
        engine_.reset();
        SimTest::TearDown();
    }
    int connect() {
        engine_->connect("COM5");
        return engine_->waitOpenFinished();
    }
    // Frames of one command code that the scanner received.
    std::vector<sim::ReceivedFrame> requests(Command code) const {
        std::vector<sim::ReceivedFrame> out;
        for (auto& f : scanner_->frames()) {
            if (f.header.type == (static_cast<std::uint8_t>(code) | wire::kRequestBit)) out.push_back(f);
        }
        return out;
    }

    Timings timings_ = fastTimings();
    RecordingObserver observer_;
    sim::SimScanner* scanner_ = nullptr;
    std::unique_ptr<CommandEngine> engine_;
    BatteryCodec battery_;
};

TEST_F(EngineTest, HandshakeSendsItsPayloadAndConnects) {
    ASSERT_EQ(connect(), SDK_OK);
    EXPECT_TRUE(engine_->connected());
    const auto hs = requests(Command::Handshake);
    ASSERT_EQ(hs.size(), 1u);
    EXPECT_EQ(hs[0].header.seq, 0);
    EXPECT_EQ(hs[0].header.block, 0);
    EXPECT_EQ(hs[0].header.retry, 0);
    EXPECT_EQ(hs[0].payload, (sim::Bytes{0x31, 0x01}));
    engine_->connect("COM5");
    EXPECT_EQ(engine_->waitOpenFinished(), SDK_ERR_ALREADY_CONNECTED);
}

TEST_F(EngineTest, SilentScannerGetsThreeWritesOneWaitApartThenTimesOut) {
    scanner_->staySilent(3);
    const auto started = sim::Clock::now();
    EXPECT_EQ(connect(), SDK_ERR_TIMEOUT);
    const auto elapsed = std::chrono::duration_cast<Ms>(sim::Clock::now() - started).count();
    const auto hs = requests(Command::Handshake);
    ASSERT_EQ(hs.size(), 3u);
    const long long wait = timings_.responseWait.count();
    for (std::uint8_t i = 0; i < 3; ++i) {
        EXPECT_EQ(hs[i].header.retry, i);
        EXPECT_EQ(hs[i].header.seq, 0);
    }
    // Three waits must have passed (measured here, on the steady clock; the spacing of the writes is a
    // real-time test of its own, not run under load or the sanitizers).
    EXPECT_GE(elapsed, wait * 3);
    EXPECT_FALSE(engine_->connected());
    // The link is down: a command fails at once without reaching the scanner.
    EXPECT_EQ(engine_->submit(Command::Battery, &battery_), SDK_ERR_PORT_LOST);
    EXPECT_EQ(engine_->disconnect(), SDK_ERR_NOT_CONNECTED);
}

TEST_F(EngineTest, AnswerToASecondRepeatCompletesTheExchange) {
    ASSERT_EQ(connect(), SDK_OK);
    scanner_->staySilent(2);
    EXPECT_EQ(engine_->submit(Command::Battery, &battery_), SDK_OK);
    EXPECT_EQ(battery_.first, 7);
    EXPECT_EQ(battery_.second, 9);
    const auto reqs = requests(Command::Battery);
    ASSERT_EQ(reqs.size(), 3u);
    EXPECT_EQ(reqs[2].header.retry, 2);
}

TEST_F(EngineTest, MismatchedAnswersAreRepeatedWithRetryFourAtMostTwice) {
    ASSERT_EQ(connect(), SDK_OK);
    scanner_->answerWrongCode(2);
    EXPECT_EQ(engine_->submit(Command::Battery, &battery_), SDK_OK);
    auto reqs = requests(Command::Battery);
    ASSERT_EQ(reqs.size(), 3u);
    EXPECT_EQ(reqs[1].header.retry, wire::kRetryAfterMismatch);
    EXPECT_EQ(reqs[2].header.retry, wire::kRetryAfterMismatch);

    scanner_->clearFrames();
    scanner_->answerWrongSeq(3);
    EXPECT_EQ(engine_->submit(Command::Battery, &battery_), SDK_ERR_LINK);
    EXPECT_EQ(requests(Command::Battery).size(), 3u);
}

TEST_F(EngineTest, SequenceAdvancesOnlyAfterAFinishedExchange) {
    ASSERT_EQ(connect(), SDK_OK);  // the handshake used seq 0
    ASSERT_EQ(engine_->submit(Command::Battery, &battery_), SDK_OK);
    scanner_->staySilent(3);
    ASSERT_EQ(engine_->submit(Command::Battery, &battery_), SDK_ERR_TIMEOUT);
    ASSERT_EQ(engine_->submit(Command::Battery, &battery_), SDK_OK);
    ASSERT_EQ(engine_->submit(Command::Battery, &battery_), SDK_OK);
    std::vector<int> seqs;
    for (const auto& f : requests(Command::Battery)) {
        if (f.header.retry == 0) seqs.push_back(f.header.seq);
    }
    EXPECT_EQ(seqs, (std::vector<int>{1, 2, 2, 3}));
}

TEST_F(EngineTest, RefusalGivesMinus19AndKeepsTheCodecValues) {
    ASSERT_EQ(connect(), SDK_OK);
    ASSERT_EQ(engine_->submit(Command::Battery, &battery_), SDK_OK);
    scanner_->teach(Command::Battery, [](auto&, auto) { return sim::Bytes{0x00, 1, 2}; });
    scanner_->refuse(1);
    EXPECT_EQ(engine_->submit(Command::Battery, &battery_), SDK_ERR_DEVICE_REFUSED);
    EXPECT_EQ(battery_.first, 7);
    EXPECT_EQ(battery_.second, 9);
}

TEST_F(EngineTest, SplitNoisyAnswersWithSyncBytesInsideAreAssembled) {
    ASSERT_EQ(connect(), SDK_OK);
    scanner_->teach(Command::Battery, [](auto&, auto) { return sim::Bytes{0x00, 0x7E, 0x7E}; });
    scanner_->noiseBeforeAnswers(1, {0x00, 0x55, 0x13});
    scanner_->splitAnswers(1, 4, 20ms);
    EXPECT_EQ(engine_->submit(Command::Battery, &battery_), SDK_OK);
    EXPECT_EQ(battery_.first, 0x7E);
    EXPECT_EQ(battery_.second, 0x7E);
    EXPECT_EQ(requests(Command::Battery).size(), 1u);
}

TEST_F(EngineTest, LateAnswerToAnEarlierRepeatIsFlushedUntilTheLineIsQuiet) {
    ASSERT_EQ(connect(), SDK_OK);
    // The first answer carries retry byte 1 while the SDK expects 0: it and what follows it are flushed,
    // the wait times out, and the repeat with retry 1 is answered properly.
    scanner_->answerWithRetry(1, 1);
    EXPECT_EQ(engine_->submit(Command::Battery, &battery_), SDK_OK);
    const auto reqs = requests(Command::Battery);
    ASSERT_EQ(reqs.size(), 2u);
    EXPECT_EQ(reqs[1].header.retry, 1);
}

TEST_F(EngineTest, MultiBlockExchangeNumbersBlocksAndWrapsAfter255) {
    struct CountingCodec final : CommandCodec {
        int responses = 0;
        CodecStep build(RequestBuffer& r, std::uint16_t& len) override {
            r[0] = 1;
            len = 1;
            return CodecStep::Continue;
        }
        CodecStep onResponse(std::uint8_t, std::span<const std::uint8_t>, RequestBuffer&, std::uint16_t&) override {
            return ++responses == 300 ? CodecStep::Complete : CodecStep::Continue;
        }
    } codec;
    ASSERT_EQ(connect(), SDK_OK);
    scanner_->teach(Command::Collect, [](auto&, auto) { return sim::Bytes{2}; });
    ASSERT_EQ(engine_->submit(Command::Collect, &codec), SDK_OK);
    const auto reqs = requests(Command::Collect);
    ASSERT_EQ(reqs.size(), 300u);
    for (std::size_t i = 0; i < reqs.size(); ++i) {
        ASSERT_EQ(reqs[i].header.block, static_cast<std::uint8_t>(i));
        ASSERT_EQ(reqs[i].header.seq, reqs[0].header.seq);
    }
}

TEST_F(EngineTest, CodecResultsDecideWhatIsSent) {
    struct Codec final : CommandCodec {
        Codec(CodecStep step, std::size_t len) : onBuild(step), length(static_cast<std::uint16_t>(len)) {}
        CodecStep onBuild;
        std::uint16_t length;
        CodecStep build(RequestBuffer& r, std::uint16_t& len) override {
            r.fill(0x33);
            len = length;
            return onBuild;
        }
        CodecStep onResponse(std::uint8_t, std::span<const std::uint8_t>, RequestBuffer&, std::uint16_t&) override {
            return CodecStep::Complete;
        }
    };
    ASSERT_EQ(connect(), SDK_OK);
    scanner_->teach(Command::Config, [](auto&, auto) { return sim::Bytes{0}; });
    Codec cannotBuild(CodecStep::Refused, 1);
    EXPECT_EQ(engine_->submit(Command::Config, &cannotBuild), SDK_ERR_OPEN_FAILED);
    Codec sendOnly(CodecStep::SendOnly, 3);
    scanner_->staySilent(1);
    EXPECT_EQ(engine_->submit(Command::Config, &sendOnly), SDK_OK);
    Codec largest(CodecStep::Continue, wire::kMaxWritePayload);
    EXPECT_EQ(engine_->submit(Command::Config, &largest), SDK_OK);
    Codec tooLarge(CodecStep::Continue, wire::kMaxWritePayload + 1);
    EXPECT_EQ(engine_->submit(Command::Config, &tooLarge), SDK_ERR_LINK);
    EXPECT_EQ(engine_->submit(Command::Config, nullptr), SDK_OK);
    ASSERT_TRUE(scanner_->waitForFrames(3, 1000ms));  // handshake, send-only, the 503-byte request
    const auto reqs = requests(Command::Config);
    ASSERT_EQ(reqs.size(), 2u);
    EXPECT_EQ(reqs[1].payload.size(), wire::kMaxWritePayload);
}

TEST_F(EngineTest, PacketsOutsideAnExchangeAreReportedAndAcknowledged) {
    ASSERT_EQ(connect(), SDK_OK);
    scanner_->sendPacket(PacketType::ScanData, scanRecord("12345"), 0x42);
    scanner_->sendPacket(PacketType::DeletedData, scanRecord("9"));
    scanner_->sendPacket(static_cast<PacketType>(5), scanRecord("ignored"));
    ASSERT_TRUE(observer_.waiter.waitUntil([&] { return observer_.packets.size() == 2; }));
    ASSERT_TRUE(scanner_->waitForFrames(3, 1000ms));  // handshake and two acknowledgements
    const auto frames = scanner_->frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[1].header.type, 0x01);
    EXPECT_EQ(frames[1].header.seq, 0x42);
    EXPECT_EQ(frames[1].header.length, 0);
    EXPECT_EQ(frames[2].header.type, 0x03);
    EXPECT_EQ(observer_.packets[0].second, scanRecord("12345"));
    EXPECT_EQ(observer_.packets[1].first, PacketType::DeletedData);
}

TEST_F(EngineTest, PacketDuringAnExchangeIsNeitherReportedNorAcknowledged) {
    ASSERT_EQ(connect(), SDK_OK);
    scanner_->packetBeforeAnswer(PacketType::ScanData, scanRecord("during"));
    ASSERT_EQ(engine_->submit(Command::Battery, &battery_), SDK_OK);
    // A packet after the exchange proves the link read past the first one.
    scanner_->sendPacket(PacketType::ScanData, scanRecord("after"));
    ASSERT_TRUE(observer_.waiter.waitUntil([&] { return !observer_.packets.empty(); }));
    ASSERT_TRUE(scanner_->waitForFrames(3, 1000ms));
    EXPECT_EQ(observer_.waiter.read([&] { return observer_.packets.size(); }), 1u);
    EXPECT_EQ(observer_.packets[0].second, scanRecord("after"));
    const auto frames = scanner_->frames();
    EXPECT_EQ(std::count_if(frames.begin(), frames.end(), [](auto& f) { return f.header.type == 0x01; }), 1);
}

TEST_F(EngineTest, PortLossIsReportedOnceAndCommandsFail) {
    ASSERT_EQ(connect(), SDK_OK);
    scanner_->hangUp();
    ASSERT_TRUE(observer_.waiter.waitUntil([&] { return observer_.lost == 1; }));
    EXPECT_EQ(observer_.lostPort, 5);
    EXPECT_EQ(engine_->submit(Command::Battery, &battery_), SDK_ERR_PORT_LOST);
    engine_->link().close();  // returns once the receive session has ended: nothing can report any more
    EXPECT_EQ(observer_.waiter.read([&] { return observer_.lost; }), 1);
}

TEST_F(EngineTest, HangUpInTheMiddleOfAFrameIsAPortLoss) {
    ASSERT_EQ(connect(), SDK_OK);
    scanner_->sendRaw(sim::Bytes{0x00, 0x7E, 0x01, 0x00, 0x00, 0x81, 0x40, 0x00, 0x11, 0x22});
    scanner_->hangUp();
    ASSERT_TRUE(observer_.waiter.waitUntil([&] { return observer_.lost == 1; }));
    EXPECT_TRUE(observer_.packets.empty());
    engine_->link().close();  // the receive session has ended once this returns
    EXPECT_EQ(observer_.waiter.read([&] { return observer_.lost; }), 1);
}

TEST_F(EngineTest, ShutdownCutsARunningExchangeShort) {
    // With response waits of a minute, an exchange that sat out its waits could not end within the test.
    engine_.reset();
    timings_.responseWait = 60s;
    engine_ = std::make_unique<CommandEngine>(observer_, timings_);
    ASSERT_EQ(connect(), SDK_OK);
    scanner_->staySilent(3);
    auto result = std::async(std::launch::async, [&] { return engine_->submit(Command::Battery, &battery_); });
    ASSERT_TRUE(scanner_->waitForFrames(2, 5000ms));  // the request is on the wire
    engine_->shutdown();
    ASSERT_EQ(result.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(result.get(), SDK_ERR_ABORTED);
}

TEST_F(EngineTest, DisconnectClosesThePort) {
    ASSERT_EQ(connect(), SDK_OK);
    EXPECT_EQ(engine_->disconnect(), SDK_OK);
    engine_->shutdown();
    EXPECT_EQ(engine_->disconnect(), SDK_ERR_NOT_CONNECTED);
    // The port is free again: a second engine can open it.
    CommandEngine second(observer_, timings_);
    second.connect("COM5");
    EXPECT_EQ(second.waitOpenFinished(), SDK_OK);
}

TEST_F(EngineTest, LineChangeStartsANewHandshake) {
    ASSERT_EQ(connect(), SDK_OK);
    // A change is kept for the line watch even when it comes before the watch begins.
    engine_->link().reportLineChange();
    ASSERT_TRUE(scanner_->waitForFrames(2, 5000ms));
    EXPECT_EQ(requests(Command::Handshake).size(), 2u);
    // Queued behind the re-check, so its answer proves the re-check was answered too.
    ASSERT_EQ(engine_->submit(Command::Battery, &battery_), SDK_OK);
    EXPECT_TRUE(engine_->connected());
    // A scanner that no longer answers the re-check is reported lost (a Bluetooth port).
    scanner_->staySilent(3);
    engine_->link().reportLineChange();
    ASSERT_TRUE(observer_.waiter.waitUntil([&] { return observer_.lost == 1; }));
    EXPECT_EQ(engine_->submit(Command::Battery, &battery_), SDK_ERR_PORT_LOST);
}

}  // namespace
}  // namespace zt::sdk::test

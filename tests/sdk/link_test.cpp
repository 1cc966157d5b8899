// The serial link and the exchange over an in-memory pipe: frames byte for byte, scanner packets and
// their acknowledgements, the response hand-off when an exchange ends while a response is on its way,
// aborts, port loss and line changes. Races are put in order through hooks, not through timing.
#include "codecs/value_codecs.h"
#include "engine/exchange.h"
#include "engine/handshake_codec.h"
#include "link/serial_link.h"
#include "memory_scanner.h"
#include "zt330sdk.h"

#include <gtest/gtest.h>

#include <future>

namespace zt::sdk::test {
namespace {

using namespace std::chrono_literals;
using wire::Command;
using wire::PacketType;

class RecordingObserver final : public LinkObserver {
public:
    void onPortLost(int port) override {
        {
            std::lock_guard lock(mutex_);
            ++lost_;
            lostPort_ = port;
        }
        cv_.notify_all();
    }
    void onScannerPacket(int, PacketType type, std::span<const std::uint8_t> record) override {
        {
            std::lock_guard lock(mutex_);
            packets_.emplace_back(type, Bytes(record.begin(), record.end()));
        }
        cv_.notify_all();
    }
    [[nodiscard]] bool waitForPackets(std::size_t count, std::chrono::milliseconds timeout = 5s) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, timeout, [&] { return packets_.size() >= count; });
    }
    [[nodiscard]] bool waitForLoss(std::chrono::milliseconds timeout = 5s) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, timeout, [&] { return lost_ > 0; });
    }
    std::vector<std::pair<PacketType, Bytes>> packets() {
        std::lock_guard lock(mutex_);
        return packets_;
    }
    int lost() {
        std::lock_guard lock(mutex_);
        return lost_;
    }
    int lostPort() {
        std::lock_guard lock(mutex_);
        return lostPort_;
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::pair<PacketType, Bytes>> packets_;
    int lost_ = 0;
    int lostPort_ = -1;
};

// An answer must come within the response wait, or an unasked repeat upsets the frame counts: the wait
// is long enough for a loaded machine. Exchanges that sit out their waits are given short ones.
Timings memoryTimings() {
    Timings t;
    t.settleAfterOpen = 0ms;
    t.readTimeout = 200ms;
    t.responseWait = 2000ms;
    t.closeWait = 2000ms;
    return t;
}
constexpr auto kSatOutWait = 20ms;

class LinkTest : public ::testing::Test {
protected:
    void open(LinkHooks hooks = {}) {
        link_ = std::make_unique<SerialLink>(observer_, timings_, ports_.opener());
        link_->setHooks(std::move(hooks));
        ASSERT_EQ(link_->open("COM5"), SerialLink::kOpened);
    }
    int exchange(Command command, CommandCodec& codec) {
        return runExchange(*link_, static_cast<std::uint8_t>(command), &codec, timings_);
    }
    // An exchange whose response waits run out.
    int exchangeTimingOut(Command command, CommandCodec& codec) {
        Timings t = timings_;
        t.responseWait = kSatOutWait;
        return runExchange(*link_, static_cast<std::uint8_t>(command), &codec, t);
    }
    // Frames from the SDK of one type byte.
    std::vector<WireFrame> framesOfType(std::uint8_t type) const {
        std::vector<WireFrame> out;
        for (auto& f : scanner_.frames()) {
            if (f.header.type == type) out.push_back(f);
        }
        return out;
    }
    static std::uint8_t requestType(Command c) { return static_cast<std::uint8_t>(c) | wire::kRequestBit; }

    Timings timings_ = memoryTimings();
    RecordingObserver observer_;
    MemoryPorts ports_;
    MemoryScanner& scanner_ = ports_.add(5);
    BatteryCodec battery_;
    std::unique_ptr<SerialLink> link_;
};

TEST_F(LinkTest, ExchangesWriteExactFramesAndMoveTheSequenceOnlyWhenFinished) {
    open();
    HandshakeCodec handshake;
    ASSERT_EQ(exchange(Command::Handshake, handshake), SDK_OK);
    scanner_.answerWith(Command::Battery, {0x00, 7, 9});
    ASSERT_EQ(exchange(Command::Battery, battery_), SDK_OK);
    EXPECT_EQ(battery_.first, 7);
    EXPECT_EQ(battery_.second, 9);
    scanner_.staySilent(3);
    EXPECT_EQ(exchangeTimingOut(Command::Battery, battery_), SDK_ERR_TIMEOUT);
    ASSERT_EQ(exchange(Command::Battery, battery_), SDK_OK);

    const auto frames = scanner_.frames();
    ASSERT_EQ(frames.size(), 6u);
    EXPECT_EQ(frames[0].bytes, (Bytes{0x7E, 0, 0, 0, 0x82, 2, 0, 0x31, 0x01, 0, 0}));
    EXPECT_EQ(frames[1].bytes, (Bytes{0x7E, 1, 0, 0, 0x84, 0, 0, 0, 0}));
    // The silent scanner: the same frame with retry 0, 1, 2; the next exchange reuses the seq.
    for (int i = 0; i < 3; ++i) EXPECT_EQ(frames[2 + i].bytes, (Bytes{0x7E, 2, 0, std::uint8_t(i), 0x84, 0, 0, 0, 0}));
    EXPECT_EQ(frames[5].bytes, (Bytes{0x7E, 2, 0, 0, 0x84, 0, 0, 0, 0}));
}

// A scan whose acknowledgement cannot be written is not delivered: the scanner, which got no
// acknowledgement, sends it again, and it is delivered once, when that one is acknowledged.
TEST_F(LinkTest, AScanIsDeliveredOnlyOnceItsAcknowledgementIsWritten) {
    open();
    const Bytes record = scanRecordBytes("once");
    scanner_.failSdkWrites(1, IoStatus::Failed);
    ASSERT_TRUE(scanner_.sendPacket(PacketType::ScanData, record, 4));
    // The next packet shows the first was handled: no acknowledgement, no delivery.
    ASSERT_TRUE(scanner_.sendPacket(PacketType::DeletedData, scanRecordBytes("marker"), 5));
    ASSERT_TRUE(observer_.waitForPackets(1));
    ASSERT_TRUE(scanner_.waitForFrameCount(1));
    EXPECT_EQ(observer_.packets()[0].second, scanRecordBytes("marker"));
    EXPECT_EQ(scanner_.frames()[0].header.seq, 5);

    ASSERT_TRUE(scanner_.sendPacket(PacketType::ScanData, record, 4));  // sent again
    ASSERT_TRUE(observer_.waitForPackets(2));
    ASSERT_TRUE(scanner_.waitForFrameCount(2));
    const auto packets = observer_.packets();
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(packets[1].second, record);
    EXPECT_EQ(scanner_.frames()[1].header.seq, 4);
    EXPECT_EQ(observer_.lost(), 0);
}

// A link that drops under the acknowledgement: the scan is not delivered (the scanner keeps it) and
// the port is reported lost.
TEST_F(LinkTest, ALinkLostUnderTheAcknowledgementReportsThePortLostAndDeliversNothing) {
    open();
    scanner_.failSdkWrites(1, IoStatus::Lost);
    ASSERT_TRUE(scanner_.sendPacket(PacketType::ScanData, scanRecordBytes("kept"), 6));
    ASSERT_TRUE(observer_.waitForLoss());
    EXPECT_EQ(observer_.lostPort(), 5);
    EXPECT_TRUE(observer_.packets().empty());
}

TEST_F(LinkTest, ScansAreDeliveredAndAcknowledgedWithTheirSequenceEchoed) {
    open();
    const Bytes record = scanRecordBytes("12345");
    ASSERT_TRUE(scanner_.sendPacket(PacketType::ScanData, record, 9));
    ASSERT_TRUE(scanner_.sendPacket(PacketType::DeletedData, record, 10));
    ASSERT_TRUE(
        scanner_.sendPacket(static_cast<PacketType>(5), record));  // unknown: neither delivered nor acknowledged
    ASSERT_TRUE(observer_.waitForPackets(2));
    ASSERT_TRUE(scanner_.waitForFrameCount(2));
    const auto packets = observer_.packets();
    EXPECT_EQ(packets[0].first, PacketType::ScanData);
    EXPECT_EQ(packets[0].second, record);
    EXPECT_EQ(packets[1].first, PacketType::DeletedData);
    const auto frames = scanner_.frames();
    EXPECT_EQ(frames[0].bytes, (Bytes{0x7E, 9, 0, 0, 0x01, 0, 0, 0, 0}));
    EXPECT_EQ(frames[1].bytes, (Bytes{0x7E, 10, 0, 0, 0x03, 0, 0, 0, 0}));
}

TEST_F(LinkTest, PacketsDuringAnExchangeAreNeitherDeliveredNorAcknowledged) {
    open();
    scanner_.answerWith(Command::Battery, {0x00, 1, 2});
    // The scanner sends a scan while it holds the request, that is, while the exchange waits for it.
    scanner_.onRequest(
        [&](const WireFrame&) { (void)scanner_.sendPacket(PacketType::ScanData, scanRecordBytes("during")); });
    ASSERT_EQ(exchange(Command::Battery, battery_), SDK_OK);
    scanner_.onRequest({});
    // Frames are routed in order: once this one is in, the one before it was dropped.
    ASSERT_TRUE(scanner_.sendPacket(PacketType::DeletedData, scanRecordBytes("after")));
    ASSERT_TRUE(observer_.waitForPackets(1));
    ASSERT_TRUE(scanner_.waitForFrames([](const auto& f) { return !f.empty() && !f.back().header.isRequest(); }));
    EXPECT_EQ(observer_.packets().size(), 1u);
    EXPECT_EQ(observer_.packets()[0].first, PacketType::DeletedData);
    EXPECT_TRUE(framesOfType(0x01).empty());
    EXPECT_EQ(framesOfType(0x03).size(), 1u);
}

// A scan that follows the last response at once, in the same write, finds the exchange over.
TEST_F(LinkTest, AScanRightBehindTheLastResponseIsDelivered) {
    open();
    scanner_.teach(Command::Battery, [&](const WireFrame& request) -> std::optional<Bytes> {
        const auto& h = request.header;
        const Bytes answer = encodeFrame(h.seq, h.block, h.retry, h.code(), Bytes{0x00, 1, 2});
        const Bytes scan = encodeFrame(0, 0, 0, 0x81, scanRecordBytes("behind"));
        Bytes both = answer;
        both.insert(both.end(), scan.begin(), scan.end());
        (void)scanner_.sendRaw(both);
        return std::nullopt;
    });
    ASSERT_EQ(exchange(Command::Battery, battery_), SDK_OK);
    ASSERT_TRUE(observer_.waitForPackets(1));
    EXPECT_EQ(observer_.packets()[0].second, scanRecordBytes("behind"));
    EXPECT_TRUE(scanner_.waitForFrames([](const auto& f) { return !f.empty() && f.back().header.type == 0x01; }));
}

// The receive thread has read an acceptable response and is about to hand it over when the exchange
// gives up (all its waits timed out). The response must not be held for an exchange that has ended:
// the receive thread goes on, so later scans and the loss of the port are still reported.
TEST_F(LinkTest, AResponseForAnExchangeThatEndedMeanwhileDoesNotStopTheReceiveThread) {
    Gate atHandOver;
    LinkHooks hooks;
    hooks.beforeHandOver = [&](const wire::FrameHeader& h) {
        if (h.code() == static_cast<std::uint8_t>(Command::Battery) && h.retry == 0) atHandOver.pass();
    };
    open(std::move(hooks));
    scanner_.answerWith(Command::Battery, {0x00, 1, 2});
    auto result = std::async(std::launch::async, [&] { return exchangeTimingOut(Command::Battery, battery_); });
    ASSERT_TRUE(atHandOver.waitHeld());
    ASSERT_EQ(result.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(result.get(), SDK_ERR_TIMEOUT);
    atHandOver.open();

    ASSERT_TRUE(scanner_.sendPacket(PacketType::ScanData, scanRecordBytes("next"), 3));
    EXPECT_TRUE(observer_.waitForPackets(1, 2s)) << "the receive thread is stuck in the hand-off";
    scanner_.hangUp();
    EXPECT_TRUE(observer_.waitForLoss(2s));
}

// The same race the other way round: the response is offered after the exchange already repeated its
// request, so it carries a retry byte that is no longer awaited; the repeat's answer completes.
TEST_F(LinkTest, AResponseToAnEarlierSendIsNotTakenForTheAnswerToTheRepeat) {
    Gate atHandOver;
    LinkHooks hooks;
    hooks.beforeHandOver = [&](const wire::FrameHeader& h) {
        if (h.code() == static_cast<std::uint8_t>(Command::Battery) && h.retry == 0) atHandOver.pass();
    };
    open(std::move(hooks));
    scanner_.teach(Command::Battery, [&](const WireFrame& request) -> std::optional<Bytes> {
        if (request.header.retry == 1) atHandOver.open();  // the repeat is out: let the stale answer go
        return Bytes{0x00, std::uint8_t(10 + request.header.retry), 0};
    });
    // The first wait is sat out (its answer is held); the repeat's answer must come within the second.
    Timings t = timings_;
    t.responseWait = 500ms;
    ASSERT_EQ(runExchange(*link_, static_cast<std::uint8_t>(Command::Battery), &battery_, t), SDK_OK);
    EXPECT_EQ(battery_.first, 11);
    EXPECT_EQ(framesOfType(requestType(Command::Battery)).size(), 2u);
}

TEST_F(LinkTest, CloseCutsShortAnExchangeThatWaitsForAnAnswer) {
    timings_.responseWait = 10s;
    open();
    scanner_.staySilent(1);
    auto result = std::async(std::launch::async, [&] { return exchange(Command::Battery, battery_); });
    ASSERT_TRUE(scanner_.waitForFrameCount(1));
    link_->close();
    ASSERT_EQ(result.wait_for(2s), std::future_status::ready);
    EXPECT_EQ(result.get(), SDK_ERR_ABORTED);
    EXPECT_TRUE(scanner_.waitClosedBySdk());
    // After close the link is closed for writes too.
    EXPECT_EQ(link_->writeFrame(wire::FrameHeader{}, {}), WriteStatus::PortLost);
}

TEST_F(LinkTest, CloseEndsASessionWhoseReceiveThreadIsHeldWithAResponse) {
    Gate atHandOver;
    LinkHooks hooks;
    hooks.beforeHandOver = [&](const wire::FrameHeader&) { atHandOver.pass(); };
    timings_.responseWait = 10s;
    open(std::move(hooks));
    scanner_.answerWith(Command::Battery, {0x00, 1, 2});
    auto result = std::async(std::launch::async, [&] { return exchange(Command::Battery, battery_); });
    ASSERT_TRUE(atHandOver.waitHeld());
    auto closing = std::async(std::launch::async, [&] { link_->close(); });
    ASSERT_EQ(result.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(result.get(), SDK_ERR_ABORTED);
    atHandOver.open();
    EXPECT_EQ(closing.wait_for(5s), std::future_status::ready);
    EXPECT_TRUE(scanner_.waitClosedBySdk());
}

TEST_F(LinkTest, APortThatGoesAwayIsReportedOnceAndWritesThenFailAsLost) {
    open();
    scanner_.hangUp();
    ASSERT_TRUE(observer_.waitForLoss());
    EXPECT_EQ(observer_.lostPort(), 5);
    EXPECT_TRUE(link_->portLost());
    HandshakeCodec handshake;
    EXPECT_EQ(exchange(Command::Handshake, handshake), SDK_ERR_PORT_LOST);
    link_->close();
    EXPECT_EQ(observer_.lost(), 1);
}

// A change that comes before the connection thread watches (it is just back from a handshake) is kept
// for the watch, not lost.
TEST_F(LinkTest, ACarrierChangeWakesTheLineWatchEvenBeforeItBegins) {
    auto& withCarrier = ports_.add(6, true);
    link_ = std::make_unique<SerialLink>(observer_, timings_, ports_.opener());
    ASSERT_EQ(link_->open("COM6"), SerialLink::kOpened);
    withCarrier.setCarrier(false);
    auto watching = std::async(std::launch::async, [&] { link_->watchLine(); });
    EXPECT_EQ(watching.wait_for(5s), std::future_status::ready);
    if (watching.wait_for(0ms) != std::future_status::ready) link_->wakeLineWatch();  // lets the test end
    withCarrier.setCarrier(true);
    auto again = std::async(std::launch::async, [&] { link_->watchLine(); });
    EXPECT_EQ(again.wait_for(5s), std::future_status::ready);
    if (again.wait_for(0ms) != std::future_status::ready) link_->wakeLineWatch();
}

TEST_F(LinkTest, OpenFailuresKeepTheirMeaning) {
    link_ = std::make_unique<SerialLink>(observer_, timings_, ports_.opener());
    EXPECT_EQ(link_->open("COM9"), -3);  // no such device
    link_ = std::make_unique<SerialLink>(observer_, timings_, [](std::string_view, OpenError& e) {
        e = OpenError::Failed;
        return std::unique_ptr<Transport>();
    });
    EXPECT_EQ(link_->open("COM5"), -1);
}

}  // namespace
}  // namespace zt::sdk::test

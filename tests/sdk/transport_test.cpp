// The transports under the serial link: the in-memory pipe that the deterministic tests stand on, and
// the tty over a real pseudo-terminal.
#include "transport/memory_pipe.h"
#include "transport/tty_transport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <future>

namespace zt::sdk {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

Bytes readSome(Transport& t, std::size_t max, IoStatus expected = IoStatus::Ok) {
    Bytes buffer(max);
    std::size_t got = 0;
    EXPECT_EQ(t.read(buffer, got, 1s), expected);
    buffer.resize(got);
    return buffer;
}

TEST(MemoryPipe, BytesCrossInOrderInReadsNoLargerThanTheBuffer) {
    auto pipe = MemoryPipe::create();
    const Bytes sent{1, 2, 3, 4, 5};
    ASSERT_EQ(pipe.sdkEnd->writeAll(sent, 0ms), IoStatus::Ok);
    EXPECT_EQ(pipe.peerEnd->waitReadable(0ms), IoStatus::Ok);
    EXPECT_EQ(readSome(*pipe.peerEnd, 2), (Bytes{1, 2}));
    EXPECT_EQ(readSome(*pipe.peerEnd, 10), (Bytes{3, 4, 5}));
    std::size_t got = 7;
    std::array<std::uint8_t, 4> buffer{};
    EXPECT_EQ(pipe.peerEnd->read(buffer, got, 5ms), IoStatus::TimedOut);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(pipe.peerEnd->waitReadable(5ms), IoStatus::TimedOut);
    // The other direction is independent.
    ASSERT_EQ(pipe.peerEnd->writeAll(Bytes{9}, 0ms), IoStatus::Ok);
    EXPECT_EQ(readSome(*pipe.sdkEnd, 4), (Bytes{9}));
}

TEST(MemoryPipe, AHangUpIsSeenAfterTheBytesSentBeforeIt) {
    auto pipe = MemoryPipe::create();
    ASSERT_EQ(pipe.peerEnd->writeAll(Bytes{7, 8}, 0ms), IoStatus::Ok);
    pipe.peerEnd->hangUp();
    EXPECT_TRUE(pipe.sdkEnd->otherEndClosed());
    EXPECT_EQ(pipe.sdkEnd->waitReadable(0ms), IoStatus::Ok);
    EXPECT_EQ(readSome(*pipe.sdkEnd, 8), (Bytes{7, 8}));
    EXPECT_EQ(pipe.sdkEnd->waitReadable(-1ms), IoStatus::Lost);  // no wait without limit after a hang-up
    readSome(*pipe.sdkEnd, 8, IoStatus::Lost);
    EXPECT_EQ(pipe.sdkEnd->writeAll(Bytes{1}, 0ms), IoStatus::Lost);
    EXPECT_EQ(pipe.peerEnd->writeAll(Bytes{1}, 0ms), IoStatus::Lost);
}

TEST(MemoryPipe, DestroyingAnEndHangsUpAndWakesAWaitingReader) {
    auto pipe = MemoryPipe::create();
    auto waiting = std::async(std::launch::async, [&] { return pipe.peerEnd->waitReadable(-1ms); });
    pipe.sdkEnd.reset();
    EXPECT_EQ(waiting.get(), IoStatus::Lost);
    EXPECT_TRUE(pipe.peerEnd->waitForHangUp(0ms));
}

TEST(MemoryPipe, CancelEndsEveryWaitOfThatEndForGood) {
    auto pipe = MemoryPipe::create();
    auto waiting = std::async(std::launch::async, [&] { return pipe.sdkEnd->waitReadable(-1ms); });
    pipe.sdkEnd->cancel();
    EXPECT_EQ(waiting.get(), IoStatus::Cancelled);
    ASSERT_EQ(pipe.peerEnd->writeAll(Bytes{1}, 0ms), IoStatus::Ok);
    readSome(*pipe.sdkEnd, 1, IoStatus::Cancelled);  // even with bytes waiting
    EXPECT_EQ(pipe.sdkEnd->waitReadable(1s), IoStatus::Cancelled);
    EXPECT_EQ(pipe.peerEnd->waitReadable(0ms), IoStatus::TimedOut);  // the other end is not cancelled
}

TEST(MemoryPipe, CarrierLineIsAbsentUnlessAskedForAndAChangeEndsAWait) {
    EXPECT_FALSE(MemoryPipe::create().sdkEnd->carrierDetect().has_value());
    auto pipe = MemoryPipe::create(true);
    EXPECT_EQ(pipe.sdkEnd->carrierDetect(), std::optional<bool>(true));
    auto waiting = std::async(std::launch::async, [&] { return pipe.sdkEnd->waitReadable(-1ms); });
    pipe.peerEnd->setCarrier(false);
    EXPECT_EQ(waiting.get(), IoStatus::TimedOut);
    EXPECT_EQ(pipe.sdkEnd->carrierDetect(), std::optional<bool>(false));
    EXPECT_EQ(pipe.sdkEnd->waitReadable(5ms), IoStatus::TimedOut);  // a change wakes one wait only
}

// A pseudo-terminal whose slave side is reached as COM7 through ZT_PORT_DIR.
class TtyTransportTest : public ::testing::Test {
protected:
    void SetUp() override {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master_, 0);
        ASSERT_EQ(::grantpt(master_), 0);
        ASSERT_EQ(::unlockpt(master_), 0);
        char pattern[] = "/tmp/zt-tty-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        std::filesystem::create_symlink(::ptsname(master_), dir_ / "COM7");
        ::setenv("ZT_PORT_DIR", dir_.c_str(), 1);
    }
    void TearDown() override {
        if (master_ >= 0) ::close(master_);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    int master_ = -1;
    std::filesystem::path dir_;
};

TEST_F(TtyTransportTest, OpensThroughTheOpenerCarriesBytesAndCancelsItsWaits) {
    OpenError error = OpenError::Failed;
    auto tty = ttyOpener()("COM7", error);
    ASSERT_TRUE(tty);
    EXPECT_FALSE(tty->carrierDetect().has_value());  // a pseudo-terminal has no modem lines
    const Bytes frame{0x7E, 1, 2};
    ASSERT_EQ(tty->writeAll(frame, 100ms), IoStatus::Ok);
    std::array<std::uint8_t, 3> got{};
    ASSERT_EQ(::read(master_, got.data(), got.size()), 3);
    EXPECT_EQ(Bytes(got.begin(), got.end()), frame);
    ASSERT_EQ(::write(master_, "\x42", 1), 1);
    EXPECT_EQ(readSome(*tty, 4), (Bytes{0x42}));

    auto waiting = std::async(std::launch::async, [&] { return tty->waitReadable(-1ms); });
    tty->cancel();
    EXPECT_EQ(waiting.get(), IoStatus::Cancelled);
    readSome(*tty, 4, IoStatus::Cancelled);
}

TEST_F(TtyTransportTest, AMissingDeviceIsReportedAsMissing) {
    OpenError error = OpenError::Failed;
    EXPECT_FALSE(ttyOpener()("COM8", error));
    EXPECT_EQ(error, OpenError::DeviceMissing);
}

}  // namespace
}  // namespace zt::sdk

// A scanner seen from the SDK's side of its terminal: answers, recording, packets it starts itself.
#include "scanner_fixture.h"

#include <gtest/gtest.h>

namespace zt::sim::test {
namespace {

using ScannerTest = ScannerFixture;

TEST_F(ScannerTest, AnswersTheHandshakeEchoingSeqBlockAndRetry) {
    client.write(requestFrame(wire::Command::Handshake, 0x42, wire::kHandshakePayload, 3, 1));
    const auto answer = client.readFrame();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->header.seq, 0x42);
    EXPECT_EQ(answer->header.block, 3);
    EXPECT_EQ(answer->header.retry, 1);
    EXPECT_EQ(answer->header.type, static_cast<std::uint8_t>(wire::Command::Handshake));
    EXPECT_EQ(answer->payload, Bytes{0x00});
}

TEST_F(ScannerTest, SkipsNoiseAndAssemblesAFrameWrittenInTwoParts) {
    Bytes first{0x00, 0x13, 0xFF};
    const auto a = handshake(1);
    const auto b = handshake(2);
    first.insert(first.end(), a.begin(), a.end());
    first.insert(first.end(), b.begin(), b.begin() + 4);
    client.write(first);
    // Once A is answered the head of B has reached the scanner before its tail is written.
    const auto answerA = client.readFrame();
    ASSERT_TRUE(answerA);
    EXPECT_EQ(answerA->header.seq, 1);
    client.write(std::span(b).subspan(4));
    const auto answerB = client.readFrame();
    ASSERT_TRUE(answerB);
    EXPECT_EQ(answerB->header.seq, 2);
}

TEST_F(ScannerTest, TaughtHandlerReplacesTheModelAndUnknownCodesStaySilent) {
    // The answer carries the request payload back, which shows what the handler was given.
    scanner.teach(wire::Command::Battery, [](const wire::FrameHeader&, std::span<const std::uint8_t> payload) {
        Bytes answer{0x00, 0x7E};
        answer.insert(answer.end(), payload.begin(), payload.end());
        return std::optional<Bytes>{answer};
    });
    client.write(requestFrame(static_cast<wire::Command>(3), 1));  // no command has code 3
    client.write(requestFrame(wire::Command::Battery, 2, Bytes{0x09}));
    const auto taught = client.readFrame();
    ASSERT_TRUE(taught);
    EXPECT_EQ(taught->header.seq, 2) << "the unknown code was answered";
    EXPECT_EQ(taught->header.type, static_cast<std::uint8_t>(wire::Command::Battery));
    EXPECT_EQ(taught->payload, (Bytes{0x00, 0x7E, 0x09}));

    scanner.teach(wire::Command::Battery, nullptr);  // back to the model
    client.write(requestFrame(wire::Command::Battery, 3));
    const auto model = client.readFrame();
    ASSERT_TRUE(model);
    EXPECT_EQ(model->payload, (Bytes{0x00, 100, 0}));
}

TEST_F(ScannerTest, RecordsRequestsAndAcknowledgementsButAnswersOnlyRequests) {
    const auto before = Clock::now();
    client.write(requestFrame(static_cast<wire::Command>(12), 7, Bytes{0x01, 0x02}));  // a code nobody answers
    const Bytes ack{wire::kSync, 9, 0, 0, static_cast<std::uint8_t>(wire::PacketType::ScanData), 0, 0, 0, 0};
    client.write(ack);
    client.write(handshake(8));
    ASSERT_TRUE(scanner.waitForFrames(3, kDeadline));

    const auto frames = scanner.frames();
    ASSERT_EQ(frames.size(), 3U);
    EXPECT_EQ(frames[0].header.type, 0x8C);
    EXPECT_EQ(frames[0].payload, (Bytes{0x01, 0x02}));
    EXPECT_EQ(frames[1].header.seq, 9);
    EXPECT_FALSE(frames[1].header.isRequest());
    EXPECT_EQ(frames[2].header.seq, 8);
    EXPECT_LE(before, frames[0].at);
    EXPECT_LE(frames[0].at, frames[1].at);
    EXPECT_LE(frames[1].at, frames[2].at);
    EXPECT_LE(frames[2].at, Clock::now());

    const auto answer = client.readFrame();  // the acknowledgement got none
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->header.seq, 8);

    scanner.clearFrames();
    EXPECT_TRUE(scanner.frames().empty());
    EXPECT_FALSE(scanner.waitForFrames(1, 0ms));
}

TEST_F(ScannerTest, FramesAreStampedWhenReadNotWhenTheirTurnToBeAnsweredComes) {
    // The first answer takes two gaps to write; the second frame arrived with the first all the same.
    constexpr auto gap = 150ms;
    scanner.splitAnswers(1, 3, gap);
    auto both = handshake(1);
    const auto second = handshake(2);
    both.insert(both.end(), second.begin(), second.end());
    client.write(both);
    ASSERT_TRUE(scanner.waitForFrames(2, kDeadline));
    const auto frames = scanner.frames();
    EXPECT_LT(frames[1].at - frames[0].at, gap);
    ASSERT_TRUE(client.readFrame());
    ASSERT_TRUE(client.readFrame());
}

TEST_F(ScannerTest, SendsPacketsAndRawBytesAsGiven) {
    scanner.sendPacket(wire::PacketType::ScanData, Bytes{'1', '2', 0x7E}, 7);
    EXPECT_EQ(client.read(12), (Bytes{0x7E, 7, 0, 0, 0x81, 3, 0, '1', '2', 0x7E, 0, 0}));

    scanner.sendPacket(wire::PacketType::DeletedData, Bytes{});
    EXPECT_EQ(client.read(9), (Bytes{0x7E, 0, 0, 0, 0x83, 0, 0, 0, 0}));

    scanner.sendRaw(Bytes{0x7E, 0x7E, 0x01});
    EXPECT_EQ(client.read(3), (Bytes{0x7E, 0x7E, 0x01}));
}

}  // namespace
}  // namespace zt::sim::test

// Each fault changes exactly the next N requests. Silence is checked without a time window: the next
// frame that arrives must be the answer to a later request.
#include "scanner_fixture.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>

namespace zt::sim::test {
namespace {

class FaultTest : public ScannerFixture {
protected:
    // Sends a handshake and returns the frame that comes back.
    std::optional<Frame> ask(std::uint8_t seq, std::uint8_t retry = 0, Bytes* skipped = nullptr) {
        client.write(requestFrame(wire::Command::Handshake, seq, wire::kHandshakePayload, 0, retry));
        return client.readFrame(skipped);
    }
};

TEST_F(FaultTest, StaySilentSkipsExactlyTheNextRequests) {
    scanner.staySilent(2);
    client.write(handshake(1));
    client.write(handshake(2));
    const auto answer = ask(3);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->header.seq, 3);
    EXPECT_TRUE(scanner.waitForFrames(3, kDeadline)) << "silent requests must still be recorded";
}

TEST_F(FaultTest, RepeatsCountAsRequests) {
    scanner.answerWrongSeq(2);
    const auto first = ask(1, 0);
    const auto repeat = ask(1, 1);
    const auto next = ask(2, 0);
    ASSERT_TRUE(first && repeat && next);
    EXPECT_EQ(first->header.seq, 2);
    EXPECT_EQ(repeat->header.seq, 2);
    EXPECT_EQ(repeat->header.retry, 1);
    EXPECT_EQ(next->header.seq, 2);
}

TEST_F(FaultTest, WrongCodeAndRetryByteCombineForTheirCounts) {
    scanner.answerWrongCode(1);
    scanner.answerWithRetry(2, wire::kRetryAfterMismatch);
    const auto first = ask(1);
    const auto second = ask(2);
    const auto third = ask(3);
    ASSERT_TRUE(first && second && third);
    EXPECT_EQ(first->header.type, 3);
    EXPECT_EQ(first->header.retry, wire::kRetryAfterMismatch);
    EXPECT_EQ(second->header.type, 2);
    EXPECT_EQ(second->header.retry, wire::kRetryAfterMismatch);
    EXPECT_EQ(third->header.retry, 0);
}

TEST_F(FaultTest, MutationSeesTheAnswerAndTheLengthFollowsThePayload) {
    scanner.mutateAnswers(1, [](wire::FrameHeader& header, Bytes& payload) {
        header.block = 9;
        payload.push_back(0xAA);
    });
    const auto mutated = ask(1);
    const auto plain = ask(2);
    ASSERT_TRUE(mutated && plain);
    EXPECT_EQ(mutated->header.block, 9);
    EXPECT_EQ(mutated->payload, (Bytes{0x00, 0xAA}));
    EXPECT_EQ(plain->header.block, 0);
    EXPECT_EQ(plain->payload, Bytes{0x00});
}

TEST_F(FaultTest, RefusalReplacesTheAnswerEvenOfAnUnknownCommand) {
    scanner.refuse(2);
    client.write(requestFrame(static_cast<wire::Command>(3), 1));
    const auto unknown = client.readFrame();
    const auto handshakeRefused = ask(2);
    const auto accepted = ask(3);
    ASSERT_TRUE(unknown && handshakeRefused && accepted);
    EXPECT_EQ(unknown->header.type, 3);
    EXPECT_EQ(unknown->payload, Bytes{0x01});
    EXPECT_EQ(handshakeRefused->payload, Bytes{0x01});
    EXPECT_EQ(accepted->payload, Bytes{0x00});
}

TEST_F(FaultTest, NoiseComesBeforeTheSyncByte) {
    const Bytes noise{0x00, 0x13, 0xFF};
    scanner.noiseBeforeAnswers(1, noise);
    Bytes skipped;
    ASSERT_TRUE(ask(1, 0, &skipped));
    EXPECT_EQ(skipped, noise);
    skipped.clear();
    ASSERT_TRUE(ask(2, 0, &skipped));
    EXPECT_TRUE(skipped.empty());
}

TEST_F(FaultTest, SplitAnswersArriveInPiecesWithGaps) {
    constexpr auto gap = 100ms;
    scanner.splitAnswers(1, 3, gap);
    const auto start = Clock::now();
    client.write(handshake(1));
    ASSERT_NE(client.events(POLLIN, kDeadline) & POLLIN, 0);
    std::array<std::uint8_t, 64> buffer{};
    const auto firstRead = ::read(client.fd(), buffer.data(), buffer.size());
    EXPECT_GT(firstRead, 0);
    EXPECT_LT(firstRead, 10) << "the first piece came with the rest";
    const auto rest = client.read(static_cast<std::size_t>(10 - std::max<ssize_t>(firstRead, 0)));
    ASSERT_TRUE(rest);
    EXPECT_GE(Clock::now() - start, 2 * gap);
    EXPECT_EQ(rest->back(), 0x00);

    const auto whole = ask(2);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->header.seq, 2);
}

TEST_F(FaultTest, PacketBeforeAnswerPrecedesOnlyTheNextAnswer) {
    scanner.packetBeforeAnswer(wire::PacketType::ScanData, Bytes{'A', 'B'});
    client.write(handshake(4));
    const auto packet = client.readFrame();
    const auto answer = client.readFrame();
    ASSERT_TRUE(packet && answer);
    EXPECT_EQ(packet->header.type, 0x81);
    EXPECT_EQ(packet->payload, (Bytes{'A', 'B'}));
    EXPECT_EQ(answer->header.seq, 4);
    const auto next = ask(5);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->header.type, 2);
}

}  // namespace
}  // namespace zt::sim::test

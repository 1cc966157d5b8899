// Framing from a table: bytes in as the driver delivers them, frames out, garbage skipped.
#include "memory_source.h"

#include <gtest/gtest.h>

#include <string>

namespace zt::sdk::test {
namespace {

struct Expected {
    ReadOutcome outcome;
    std::uint8_t seq = 0;
    std::uint8_t type = 0;
    std::vector<std::uint8_t> payload{};
};

struct FramingCase {
    std::string legend;
    std::vector<Step> input;
    std::vector<Expected> out;  // read attempts in order; the stream then ends quietly
};

std::vector<std::uint8_t> filled(std::size_t n, std::uint8_t value) { return std::vector<std::uint8_t>(n, value); }

std::vector<FramingCase> framingCases() {
    const auto big = filled(wire::kMaxReceivePayload, 0x41);
    return {
        {"one frame in one read", {bytes(frame(1, 0x02, {0x00}))}, {{ReadOutcome::Frame, 1, 0x02, {0x00}}}},
        {"noise before the sync byte is skipped",
         {bytes(concat({{0x00, 0x13, 0xFF, 0x31}, frame(2, 0x04, {0x00, 7, 9})}))},
         {{ReadOutcome::Frame, 2, 0x04, {0x00, 7, 9}}}},
        {"a frame split across many reads is assembled",
         {bytes({0x7E, 3}), bytes({0, 0}), bytes({0x05, 2}), bytes({0, 0xAA}), bytes({0xBB, 0, 0})},
         {{ReadOutcome::Frame, 3, 0x05, {0xAA, 0xBB}}}},
        {"0x7E inside a payload does not start a frame",
         {bytes(concat({frame(4, 0x81, {0x7E, 0x7E, 0x01, 0x7E}), frame(5, 0x02, {})}))},
         {{ReadOutcome::Frame, 4, 0x81, {0x7E, 0x7E, 0x01, 0x7E}}, {ReadOutcome::Frame, 5, 0x02, {}}}},
        {"silence in the middle of a frame drops it; the next frame is read",
         {bytes({0x7E, 6, 0, 0, 0x02, 4, 0, 1, 2}), silence(), bytes(frame(7, 0x02, {9}))},
         {{ReadOutcome::Ended}, {ReadOutcome::Frame, 7, 0x02, {9}}}},
        {"silence inside the header drops it",
         {bytes({0x7E, 6, 0}), silence(), bytes(frame(8, 0x02, {}))},
         {{ReadOutcome::Ended}, {ReadOutcome::Frame, 8, 0x02, {}}}},
        {"a payload of the receive buffer's size is kept",
         {bytes(frame(9, 0x09, big))},
         {{ReadOutcome::Frame, 9, 0x09, big}}},
        {"a length beyond the receive buffer is read and discarded; the stream stays in step",
         {bytes(concat({frame(10, 0x09, filled(wire::kMaxReceivePayload + 1, 0x7E)), frame(11, 0x02, {1})}))},
         {{ReadOutcome::Discarded}, {ReadOutcome::Frame, 11, 0x02, {1}}}},
        {"the largest length field (65535) is discarded without overflow",
         {bytes(concat({frame(12, 0x09, filled(65535, 0x00)), frame(13, 0x02, {})}))},
         {{ReadOutcome::Discarded}, {ReadOutcome::Frame, 13, 0x02, {}}}},
        {"a port lost in the middle of a frame", {bytes({0x7E, 1, 0, 0}), lost()}, {{ReadOutcome::Lost}}},
        {"a port lost while hunting the sync byte", {bytes({0x01, 0x02}), lost()}, {{ReadOutcome::Lost}}},
        {"only noise", {bytes({0x01, 0x02, 0x03})}, {}},
    };
}

TEST(FrameReader, TableOfStreams) {
    for (const auto& c : framingCases()) {
        SCOPED_TRACE(c.legend);
        MemorySource source(c.input);
        auto buffer = std::make_unique<ReceiveBuffer>();
        for (const auto& want : c.out) {
            const ReadResult got = readFrame(source, *buffer);
            ASSERT_EQ(got.outcome, want.outcome);
            if (want.outcome != ReadOutcome::Frame) continue;
            EXPECT_EQ(got.header.seq, want.seq);
            EXPECT_EQ(got.header.type, want.type);
            ASSERT_EQ(got.header.length, want.payload.size());
            EXPECT_TRUE(std::equal(want.payload.begin(), want.payload.end(), buffer->begin()));
        }
        if (c.out.empty() || c.out.back().outcome != ReadOutcome::Lost) {
            EXPECT_EQ(readFrame(source, *buffer).outcome, ReadOutcome::Ended) << "stream should end quietly";
        }
    }
}

TEST(FrameReader, HuntsTheSyncByteOneByteAtATime) {
    // One read per noise byte, so that nothing after the sync byte is taken before the header is parsed.
    MemorySource source({bytes(concat({{1, 2, 3}, frame(1, 0x02, {5})}))});
    auto buffer = std::make_unique<ReceiveBuffer>();
    ASSERT_EQ(readFrame(source, *buffer).outcome, ReadOutcome::Frame);
    EXPECT_EQ(source.reads(), 4 + 1 + 1);  // three noise bytes and the sync byte, the header, the payload
}

}  // namespace
}  // namespace zt::sdk::test

#include "frame_parser.h"

#include <gtest/gtest.h>

#include <numeric>

namespace zt::sim {
namespace {

Bytes frameBytes(std::uint8_t type, const Bytes& payload) {
    const wire::FrameHeader header{1, 2, 3, type, static_cast<std::uint16_t>(payload.size())};
    Bytes frame(wire::kFrameOverhead + payload.size());
    EXPECT_TRUE(wire::encodeFrame(header, payload, frame));
    return frame;
}

std::vector<ParsedFrame> feedAll(FrameParser& parser, std::span<const std::uint8_t> bytes) {
    std::vector<ParsedFrame> frames;
    while (!bytes.empty()) {
        bytes = bytes.subspan(parser.feed(bytes));
        while (auto frame = parser.next()) frames.push_back(std::move(*frame));
    }
    return frames;
}

TEST(FrameParser, SkipsNoiseAndTakesTheLengthFromTheHeaderOnly) {
    const Bytes payload{0x7E, 0x00, 0x7E, 0x7E};  // sync bytes inside a payload are data
    Bytes stream{0x00, 0x31, 0xFF};
    const auto frame = frameBytes(0x82, payload);
    stream.insert(stream.end(), frame.begin(), frame.end());
    stream.insert(stream.end(), frame.begin(), frame.end());

    FrameParser parser;
    const auto frames = feedAll(parser, stream);
    ASSERT_EQ(frames.size(), 2U);
    EXPECT_EQ(frames[0].header.seq, 1);
    EXPECT_EQ(frames[0].header.block, 2);
    EXPECT_EQ(frames[0].header.retry, 3);
    EXPECT_EQ(frames[0].header.type, 0x82);
    EXPECT_EQ(frames[0].payload, payload);
    EXPECT_EQ(frames[1].payload, payload);
    EXPECT_EQ(parser.buffered(), 0U);
}

TEST(FrameParser, AssemblesAFrameFedOneByteAtATime) {
    const auto frame = frameBytes(0x01, {0x10, 0x20, 0x30});
    FrameParser parser;
    for (std::size_t i = 0; i + 1 < frame.size(); ++i) {
        ASSERT_EQ(parser.feed(std::span(frame).subspan(i, 1)), 1U);
        ASSERT_FALSE(parser.next()) << "complete after only " << i + 1 << " bytes";
    }
    ASSERT_EQ(parser.feed(std::span(frame).last(1)), 1U);
    const auto parsed = parser.next();
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->header.type, 0x01);
    EXPECT_EQ(parsed->payload, (Bytes{0x10, 0x20, 0x30}));
}

TEST(FrameParser, HandlesTheLargestLengthAndNoiseThatFillsTheBuffer) {
    Bytes payload(0xFFFF);
    std::iota(payload.begin(), payload.end(), std::uint8_t{0});
    Bytes stream(FrameParser::kCapacity + 10, 0x55);  // more noise than the buffer holds
    const auto big = frameBytes(0x8F, payload);
    stream.insert(stream.end(), big.begin(), big.end());
    const auto small = frameBytes(0x82, {0x31, 0x01});
    stream.insert(stream.end(), small.begin(), small.end());

    FrameParser parser;
    const auto frames = feedAll(parser, stream);
    ASSERT_EQ(frames.size(), 2U);
    EXPECT_EQ(frames[0].header.length, 0xFFFF);
    EXPECT_EQ(frames[0].payload, payload);
    EXPECT_EQ(frames[1].payload, (Bytes{0x31, 0x01}));
}

}  // namespace
}  // namespace zt::sim

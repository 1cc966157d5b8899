#include "frame_parser.h"

#include <algorithm>

namespace zt::sim {

FrameParser::FrameParser() : buffer_(kCapacity) {}

std::size_t FrameParser::feed(std::span<const std::uint8_t> bytes) {
    const std::size_t count = std::min(bytes.size(), kCapacity - size_);
    std::copy_n(bytes.begin(), count, buffer_.begin() + static_cast<std::ptrdiff_t>(size_));
    size_ += count;
    return count;
}

std::optional<ParsedFrame> FrameParser::next() {
    const auto begin = buffer_.begin();
    const auto sync = std::find(begin, begin + static_cast<std::ptrdiff_t>(size_), wire::kSync);
    discard(static_cast<std::size_t>(sync - begin));
    if (size_ < wire::kHeaderSize) return std::nullopt;

    const auto header = wire::FrameHeader::decode(std::span(buffer_).first<wire::kHeaderSize>());
    const std::size_t total = wire::kFrameOverhead + header.length;  // at most kCapacity
    if (size_ < total) return std::nullopt;

    ParsedFrame frame{header, Bytes(begin + wire::kHeaderSize, begin + wire::kHeaderSize + header.length)};
    discard(total);
    return frame;
}

void FrameParser::discard(std::size_t count) {
    count = std::min(count, size_);
    std::copy(buffer_.begin() + static_cast<std::ptrdiff_t>(count),
              buffer_.begin() + static_cast<std::ptrdiff_t>(size_), buffer_.begin());
    size_ -= count;
}

}  // namespace zt::sim

// Arbitrary bytes into the frame reader, delivered in chunks of varying size with silences between them,
// as a driver would. No input may make the reader store beyond its buffer or loop without reading.
#include "link/frame_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

namespace {

class ChunkedSource final : public zt::sdk::ByteSource {
public:
    ChunkedSource(std::span<const std::uint8_t> data, std::uint8_t pattern) : data_(data), pattern_(pattern) {}

    zt::platform::IoStatus read(std::span<std::uint8_t> buffer, std::size_t& got) override {
        got = 0;
        pattern_ = static_cast<std::uint8_t>(pattern_ * 33 + 7);
        if (data_.empty()) return zt::platform::IoStatus::TimedOut;
        if ((pattern_ & 0x1F) == 0) return zt::platform::IoStatus::TimedOut;  // a silence mid-stream
        const std::size_t chunk = std::min({buffer.size(), data_.size(), std::size_t{1} + (pattern_ & 0x3F)});
        std::copy_n(data_.begin(), chunk, buffer.begin());
        data_ = data_.subspan(chunk);
        got = chunk;
        return zt::platform::IoStatus::Ok;
    }
    [[nodiscard]] bool exhausted() const { return data_.empty(); }

private:
    std::span<const std::uint8_t> data_;
    std::uint8_t pattern_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    ChunkedSource source(std::span(data + 1, size - 1), data[0]);
    auto buffer = std::make_unique<zt::sdk::ReceiveBuffer>();
    // Every attempt consumes input or ends on silence; the input is finite, so this ends.
    for (std::size_t attempts = 0; attempts <= size + 1; ++attempts) {
        const auto result = zt::sdk::readFrame(source, *buffer);
        if (result.outcome == zt::sdk::ReadOutcome::Frame && result.header.length > zt::wire::kMaxReceivePayload) {
            std::abort();  // a frame longer than the buffer must never be handed on
        }
        if (result.outcome == zt::sdk::ReadOutcome::Ended && source.exhausted()) break;
    }
    return 0;
}

// Little-endian numbers in payloads: appended to answers, read from requests without ever passing the end.
#pragma once

#include "zt/sim/simulator.h"

#include <bit>
#include <cstdint>
#include <optional>
#include <span>

namespace zt::sim {

inline void appendLe32(Bytes& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

inline void appendDouble(Bytes& out, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (int shift = 0; shift < 64; shift += 8) out.push_back(static_cast<std::uint8_t>(bits >> shift));
}

class PayloadReader {
public:
    explicit PayloadReader(std::span<const std::uint8_t> payload) : rest_(payload) {}

    [[nodiscard]] std::optional<std::uint8_t> byte() {
        if (rest_.empty()) return std::nullopt;
        const std::uint8_t value = rest_.front();
        rest_ = rest_.subspan(1);
        return value;
    }
    [[nodiscard]] std::optional<std::uint16_t> le16() {
        const auto bytes = take(2);
        if (!bytes) return std::nullopt;
        return static_cast<std::uint16_t>((*bytes)[0] | ((*bytes)[1] << 8));
    }
    [[nodiscard]] std::optional<std::uint32_t> le32() {
        const auto bytes = take(4);
        if (!bytes) return std::nullopt;
        std::uint32_t value = 0;
        for (std::size_t i = 4; i-- > 0;) value = (value << 8) | (*bytes)[i];
        return value;
    }
    // The next `count` bytes, or nothing (and nothing consumed) when fewer are left.
    [[nodiscard]] std::optional<std::span<const std::uint8_t>> take(std::size_t count) {
        if (rest_.size() < count) return std::nullopt;
        const auto bytes = rest_.first(count);
        rest_ = rest_.subspan(count);
        return bytes;
    }
    [[nodiscard]] std::span<const std::uint8_t> rest() const { return rest_; }
    [[nodiscard]] bool done() const { return rest_.empty(); }

private:
    std::span<const std::uint8_t> rest_;
};

}  // namespace zt::sim

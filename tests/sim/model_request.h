// Requests handed straight to a scanner model, as its worker would after reading them from the line.
#pragma once

#include "scanner_model.h"

#include <cstdint>
#include <initializer_list>
#include <optional>

namespace zt::sim::test {

inline std::optional<Bytes> ask(ScannerModel& model, wire::Command command, const Bytes& payload = {},
                                std::uint8_t seq = 1, std::uint8_t block = 0, std::uint8_t retry = 0) {
    const auto type = static_cast<std::uint8_t>(static_cast<std::uint8_t>(command) | wire::kRequestBit);
    const wire::FrameHeader header{seq, block, retry, type, static_cast<std::uint16_t>(payload.size())};
    return model.answer(header, payload);
}

// A configuration request: mode, item (LE16), data.
inline Bytes configRequest(std::uint8_t mode, std::uint16_t item, std::initializer_list<std::uint8_t> data = {}) {
    Bytes request{mode, static_cast<std::uint8_t>(item & 0xFF), static_cast<std::uint8_t>(item >> 8)};
    request.insert(request.end(), data);
    return request;
}

}  // namespace zt::sim::test

// Answers of the single-block parameter commands, worked out on the scanner's state. A request starts
// with its mode byte (1 set, 0 get) except battery and storage, which carry nothing; an answer starts
// with the status byte. A request of the wrong form or with a value out of range is refused.
#pragma once

#include "zt/sim/scanner_state.h"
#include "zt/sim/simulator.h"

#include <span>
#include <string>

namespace zt::sim::answers {

inline constexpr std::uint8_t kDone = wire::kStatusDone;
inline constexpr std::uint8_t kRefused = wire::kStatusRefused;
inline constexpr std::uint8_t kGet = wire::kModeGet;
inline constexpr std::uint8_t kSet = wire::kModeSet;

[[nodiscard]] Bytes refused();
[[nodiscard]] Bytes battery(const ScannerState& state, std::span<const std::uint8_t> request);
[[nodiscard]] Bytes storage(const ScannerState& state, std::span<const std::uint8_t> request);
[[nodiscard]] Bytes time(ScannerState& state, std::span<const std::uint8_t> request);
// Prefix or suffix: the text is stored without its terminating zero.
[[nodiscard]] Bytes affix(std::string& text, std::span<const std::uint8_t> request);
[[nodiscard]] Bytes scanMode(ScannerState& state, std::span<const std::uint8_t> request);
[[nodiscard]] Bytes buzzer(ScannerState& state, std::span<const std::uint8_t> request);
[[nodiscard]] Bytes symbology(ScannerState& state, std::span<const std::uint8_t> request);

}  // namespace zt::sim::answers

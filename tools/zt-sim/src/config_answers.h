// Answers of the configuration command (code 15): a get is {0, item LE16}, a set {1, item LE16, data}.
// Unknown items, gets of set-only items and sets of read-only ones are refused.
#pragma once

#include "zt/sim/scanner_state.h"
#include "zt/sim/simulator.h"

#include <span>

namespace zt::sim::answers {

using wire::ConfigItem;

// `defaults` is what a restore returns to; the records stay.
[[nodiscard]] Bytes config(ScannerState& state, const ScannerState& defaults, std::span<const std::uint8_t> request);

}  // namespace zt::sim::answers

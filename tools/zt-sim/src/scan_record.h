// Stored records as bytes, and the records a scanner is filled with for tests and demonstrations.
#pragma once

#include "zt/sim/scanner_state.h"
#include "zt/sim/simulator.h"

#include <cstddef>

namespace zt::sim {

// Head of a record: tag, time, two doubles. The text and its zero byte follow.
inline constexpr std::size_t kRecordHeadSize = wire::kScanRecordHeadSize;
// Longest text whose collect answer (record type byte, head, text, zero byte) still fits one frame.
inline constexpr std::size_t kMaxRecordText = 0xFFFF - 1 - kRecordHeadSize - 1;

// Appends tag, time, value1, value2 (little-endian doubles), the text and a zero byte.
void appendScanRecord(Bytes& out, const StoredRecord& record);

// Throws std::invalid_argument for a text too long for one frame.
void checkRecord(const StoredRecord& record);

// `count` records numbered from `first` + 1 with texts "SIM<port>-<number, 6 digits>"; each has its own
// time, one minute and one second after the one before, so their order by time is their order by number.
[[nodiscard]] std::vector<StoredRecord> generateRecords(int port, std::size_t first, std::size_t count);

}  // namespace zt::sim

// A live scan record as the SDK's data callback hands it over: tag byte, 7 clock bytes, two doubles,
// then the text and its zero byte (length = 25 + text length). parseLiveRecord reads it without going
// past `length`, and keeps at most kMaxTextBytes of text.
#pragma once

#include "realtime/scanner_text.h"

#include <optional>
#include <string_view>

namespace talvo {

struct LiveRecord {
    static constexpr int kTextOffset = 24;
    static constexpr int kMaxTextBytes = 3071;

    ScanTimeBytes time{};
    std::string_view text;  // points into the callback's record
};

// Nothing for a record too short to hold the head and the zero byte.
[[nodiscard]] std::optional<LiveRecord> parseLiveRecord(const unsigned char* record, int length);

}  // namespace talvo

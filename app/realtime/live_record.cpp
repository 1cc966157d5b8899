#include "realtime/live_record.h"

#include <algorithm>
#include <cstring>

namespace talvo {

std::optional<LiveRecord> parseLiveRecord(const unsigned char* record, int length) {
    if (record == nullptr || length < LiveRecord::kTextOffset + 1) return std::nullopt;
    LiveRecord live;
    std::copy_n(record + 1, live.time.size(), live.time.begin());
    const auto* text = reinterpret_cast<const char*>(record + LiveRecord::kTextOffset);
    const std::size_t room = static_cast<std::size_t>(length - LiveRecord::kTextOffset);
    const std::size_t size = std::min<std::size_t>(::strnlen(text, room), LiveRecord::kMaxTextBytes);
    live.text = std::string_view(text, size);
    return live;
}

}  // namespace talvo

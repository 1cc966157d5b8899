// One live barcode as `listen` prints it: scan time ("YYYY/MM/DD hh:mm:ss"), port, scanner name (empty
// where unknown) and the data in display form, separated by tabs; a deleted-data report has a fifth
// field "deleted". Or the same as one JSON object.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace ztctl {

struct LiveScan {
    unsigned port = 0;
    std::optional<std::string> name;
    std::span<const std::uint8_t> record;  // tag, 7 time bytes, two doubles, text, zero byte
    bool deleted = false;
};

// The scan time as "YYYY/MM/DD hh:mm:ss", and the data in display form, of the record.
[[nodiscard]] std::string liveScanTime(const LiveScan& scan);
[[nodiscard]] std::string liveScanData(const LiveScan& scan);

// Whether the record's time bytes are a possible moment; the line shows them as sent either way.
[[nodiscard]] bool liveScanTimePlausible(const LiveScan& scan);

// Without a line end.
[[nodiscard]] std::string formatLiveLine(const LiveScan& scan, bool json);

}  // namespace ztctl

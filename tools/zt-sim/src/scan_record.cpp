#include "scan_record.h"

#include "payload_bytes.h"

#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace zt::sim {
namespace {

constexpr std::chrono::seconds kRecordSpacing{61};

ScannerTime timeOf(std::chrono::sys_seconds at) {
    using namespace std::chrono;
    const auto date = floor<days>(at);
    const year_month_day ymd{date};
    const hh_mm_ss clock{at - date};
    return {static_cast<std::uint8_t>(static_cast<int>(ymd.year()) - 1900),
            static_cast<std::uint8_t>(static_cast<unsigned>(ymd.month()) - 1),
            static_cast<std::uint8_t>(static_cast<unsigned>(ymd.day())),
            static_cast<std::uint8_t>(clock.hours().count()),
            static_cast<std::uint8_t>(clock.minutes().count()),
            static_cast<std::uint8_t>(clock.seconds().count()),
            static_cast<std::uint8_t>(weekday{date}.c_encoding())};
}

}  // namespace

void appendScanRecord(Bytes& out, const StoredRecord& record) {
    out.reserve(out.size() + kRecordHeadSize + record.text.size() + 1);
    out.push_back(record.tag);
    out.insert(out.end(), record.time.begin(), record.time.end());
    appendDouble(out, record.value1);
    appendDouble(out, record.value2);
    out.insert(out.end(), record.text.begin(), record.text.end());
    out.push_back(0);
}

void checkRecord(const StoredRecord& record) {
    if (record.text.size() > kMaxRecordText) throw std::invalid_argument("zt-sim: record text too long for one frame");
}

std::vector<StoredRecord> generateRecords(int port, std::size_t first, std::size_t count) {
    using namespace std::chrono;
    const sys_seconds start = sys_days{2024y / May / 1} + 8h;
    std::vector<StoredRecord> records;
    records.reserve(count);
    std::array<char, 32> text{};
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t number = first + i + 1;
        const int length = std::snprintf(text.data(), text.size(), "SIM%d-%06zu", port, number);
        records.push_back({static_cast<std::uint8_t>(number % 4),
                           timeOf(start + kRecordSpacing * static_cast<long long>(number)), static_cast<double>(number),
                           static_cast<double>(number % 100) / 4.0,
                           std::string(text.data(), static_cast<std::size_t>(length))});
    }
    return records;
}

}  // namespace zt::sim

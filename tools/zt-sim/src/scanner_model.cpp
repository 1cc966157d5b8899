#include "scanner_model.h"

#include "config_answers.h"
#include "parameter_answers.h"
#include "scan_record.h"

namespace zt::sim {

ScannerModel::ScannerModel(int port) : port_(port), defaults_(defaultScannerState(port)), state_(defaults_) {}

std::optional<Bytes> ScannerModel::answer(const wire::FrameHeader& request, std::span<const std::uint8_t> payload) {
    const std::lock_guard lock(mutex_);
    return answerLocked(request, payload);
}

std::optional<Bytes> ScannerModel::answerLocked(const wire::FrameHeader& request,
                                                std::span<const std::uint8_t> payload) {
    using wire::Command;
    switch (static_cast<Command>(request.code())) {
        case Command::Handshake: return Bytes{answers::kDone};
        case Command::Battery: return answers::battery(state_, payload);
        case Command::Time: return answers::time(state_, payload);
        case Command::Storage: return answers::storage(state_, payload);
        case Command::Prefix: return answers::affix(state_.prefix, payload);
        case Command::Suffix: return answers::affix(state_.suffix, payload);
        case Command::Collect: return collect_.answer(request, payload, state_.records, failCollectAfter_);
        case Command::ScanMode: return answers::scanMode(state_, payload);
        case Command::Buzzer: return answers::buzzer(state_, payload);
        case Command::Symbology: return answers::symbology(state_, payload);
        case Command::Config: return answers::config(state_, defaults_, payload);
    }
    return std::nullopt;
}

ScannerState ScannerModel::state() const {
    const std::lock_guard lock(mutex_);
    return state_;
}

void ScannerModel::update(const std::function<void(ScannerState&)>& change) {
    const std::lock_guard lock(mutex_);
    change(state_);
}

void ScannerModel::addRecords(std::vector<StoredRecord> records) {
    for (const auto& record : records) checkRecord(record);
    const std::lock_guard lock(mutex_);
    state_.records.insert(state_.records.end(), std::make_move_iterator(records.begin()),
                          std::make_move_iterator(records.end()));
    state_.storage = storagePercent(state_.records.size());
}

void ScannerModel::fillRecords(std::size_t count) {
    const std::lock_guard lock(mutex_);
    auto records = generateRecords(port_, state_.records.size(), count);
    state_.records.insert(state_.records.end(), std::make_move_iterator(records.begin()),
                          std::make_move_iterator(records.end()));
    state_.storage = storagePercent(state_.records.size());
}

void ScannerModel::eraseRecords() {
    const std::lock_guard lock(mutex_);
    state_.records.clear();
    state_.storage = storagePercent(0);
}

std::vector<StoredRecord> ScannerModel::records() const {
    const std::lock_guard lock(mutex_);
    return state_.records;
}

std::size_t ScannerModel::recordCount() const {
    const std::lock_guard lock(mutex_);
    return state_.records.size();
}

void ScannerModel::failCollectAfter(std::size_t records) {
    const std::lock_guard lock(mutex_);
    failCollectAfter_ = records;
}

StoredRecord ScannerModel::scanNow(std::string_view text) const {
    StoredRecord record{0, state().clock, 0, 0, std::string(text)};
    checkRecord(record);
    return record;
}

}  // namespace zt::sim

#include "parameter_answers.h"

#include "payload_bytes.h"

#include <algorithm>

namespace zt::sim::answers {
namespace {

using wire::kMaxScanMode;
using wire::kMaxScanValue;
using wire::kMaxVolume;

bool validTime(std::span<const std::uint8_t, 7> t) {
    return t[1] < 12 && t[2] >= 1 && t[2] <= 31 && t[3] < 24 && t[4] < 60 && t[5] < 60 && t[6] < 7;
}

Bytes done(std::initializer_list<std::uint8_t> rest = {}) {
    Bytes answer;
    answer.reserve(1 + rest.size());
    answer.push_back(kDone);
    answer.insert(answer.end(), rest);
    return answer;
}

}  // namespace

Bytes refused() { return {kRefused}; }

Bytes battery(const ScannerState& state, std::span<const std::uint8_t> request) {
    if (!request.empty()) return refused();
    return done({state.batteryFirst, state.batteryLevel});
}

Bytes storage(const ScannerState& state, std::span<const std::uint8_t> request) {
    if (!request.empty()) return refused();
    return done({state.storage});
}

Bytes time(ScannerState& state, std::span<const std::uint8_t> request) {
    if (request.size() == 1 && request[0] == kGet) {
        Bytes answer{kDone};
        answer.insert(answer.end(), state.clock.begin(), state.clock.end());
        return answer;
    }
    if (request.size() != 1 + state.clock.size() || request[0] != kSet) return refused();
    const auto value = request.subspan<1, 7>();
    if (!validTime(value)) return refused();
    std::ranges::copy(value, state.clock.begin());
    return done();
}

Bytes affix(std::string& text, std::span<const std::uint8_t> request) {
    if (request.size() == 1 && request[0] == kGet) {
        Bytes answer{kDone};
        answer.insert(answer.end(), text.begin(), text.end());
        answer.push_back(0);
        return answer;
    }
    if (request.empty() || request[0] != kSet) return refused();
    if (request.size() == 1) {  // an empty text is sent as the mode byte alone
        text.clear();
        return done();
    }
    const auto body = request.subspan(1, request.size() - 2);
    if (request.back() != 0 || body.size() > wire::kMaxAffixLength || std::ranges::find(body, 0) != body.end()) {
        return refused();
    }
    text.assign(body.begin(), body.end());
    return done();
}

Bytes scanMode(ScannerState& state, std::span<const std::uint8_t> request) {
    if (request.size() == 1 && request[0] == kGet) {
        Bytes answer{kDone, state.scanMode};
        appendLe32(answer, state.scanValue);
        return answer;
    }
    PayloadReader reader(request);
    const auto mode = reader.byte();
    const auto scanMode = reader.byte();
    if (mode != kSet || !scanMode || *scanMode > kMaxScanMode) return refused();
    // Only the modes that use a value carry one.
    if (*scanMode == 0) {
        if (!reader.done()) return refused();
        state.scanMode = 0;
        return done();
    }
    const auto value = reader.le32();
    if (!value || !reader.done() || *value > kMaxScanValue) return refused();
    state.scanMode = *scanMode;
    state.scanValue = *value;
    return done();
}

Bytes buzzer(ScannerState& state, std::span<const std::uint8_t> request) {
    if (request.size() == 1 && request[0] == kGet) return done({state.buzzer});
    if (request.size() != 2 || request[0] != kSet || request[1] > kMaxVolume) return refused();
    state.buzzer = request[1];
    return done();
}

Bytes symbology(ScannerState& state, std::span<const std::uint8_t> request) {
    if (request.size() == 3 && request[0] == kGet) {
        const auto found = state.symbology.find({request[1], request[2]});
        const std::uint8_t value = found == state.symbology.end() ? 0 : found->second;
        return done({request[1], request[2], value});
    }
    if (request.size() != 4 || request[0] != kSet) return refused();
    state.symbology[{request[1], request[2]}] = request[3];
    return done();
}

}  // namespace zt::sim::answers

// A scripted byte source for frame-reader tests: chunks of bytes as the driver would deliver them,
// silences (a read that times out) and a lost port.
#pragma once

#include "link/frame_reader.h"

#include <algorithm>
#include <deque>
#include <vector>

namespace zt::sdk::test {

struct Step {
    enum class Kind { Bytes, Silence, Lost } kind = Kind::Bytes;
    std::vector<std::uint8_t> bytes;
};

inline Step bytes(std::vector<std::uint8_t> b) { return {Step::Kind::Bytes, std::move(b)}; }
inline Step silence() { return {Step::Kind::Silence, {}}; }
inline Step lost() { return {Step::Kind::Lost, {}}; }

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::vector<Step> steps) : steps_(steps.begin(), steps.end()) {}

    platform::IoStatus read(std::span<std::uint8_t> buffer, std::size_t& got) override {
        got = 0;
        ++reads_;
        while (!steps_.empty() && steps_.front().kind == Step::Kind::Bytes && steps_.front().bytes.empty()) {
            steps_.pop_front();
        }
        if (steps_.empty()) return platform::IoStatus::TimedOut;
        Step& step = steps_.front();
        if (step.kind == Step::Kind::Silence) {
            steps_.pop_front();
            return platform::IoStatus::TimedOut;
        }
        if (step.kind == Step::Kind::Lost) return platform::IoStatus::Lost;
        got = std::min(buffer.size(), step.bytes.size());
        std::copy_n(step.bytes.begin(), got, buffer.begin());
        step.bytes.erase(step.bytes.begin(), step.bytes.begin() + static_cast<std::ptrdiff_t>(got));
        return platform::IoStatus::Ok;
    }

    [[nodiscard]] int reads() const { return reads_; }

private:
    std::deque<Step> steps_;
    int reads_ = 0;
};

// Bytes of a whole frame.
inline std::vector<std::uint8_t> frame(std::uint8_t seq, std::uint8_t type, std::vector<std::uint8_t> payload,
                                       std::uint8_t retry = 0, std::uint8_t block = 0) {
    std::vector<std::uint8_t> out{wire::kSync,
                                  seq,
                                  block,
                                  retry,
                                  type,
                                  static_cast<std::uint8_t>(payload.size() & 0xFF),
                                  static_cast<std::uint8_t>(payload.size() >> 8)};
    out.reserve(out.size() + payload.size() + 2);
    for (const std::uint8_t b : payload) out.push_back(b);  // (insert trips a false -Warray-bounds in GCC 12)
    out.push_back(0);
    out.push_back(0);
    return out;
}

inline std::vector<std::uint8_t> concat(std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

}  // namespace zt::sdk::test

// The millisecond tick count: a wrapping unsigned 32-bit number (it wraps after 49.7 days), so ticks
// are only ever compared by their wrapping difference. A due time of 0 means "at once".
#pragma once

#include <chrono>
#include <cstdint>

namespace talvo {

using Tick = std::uint32_t;

// a - b, correct across the wrap while the two lie within 24.8 days of each other.
[[nodiscard]] constexpr std::int32_t tickDiff(Tick a, Tick b) noexcept { return static_cast<std::int32_t>(a - b); }
[[nodiscard]] constexpr bool tickBefore(Tick a, Tick b) noexcept { return tickDiff(a, b) < 0; }

// Queue order: is due time `a` later than due time `b`? 0 comes before every other due time.
[[nodiscard]] constexpr bool dueLater(Tick a, Tick b) noexcept { return a != 0 && (b == 0 || tickBefore(b, a)); }
// Whether an attempt with this due time may run at `now`.
[[nodiscard]] constexpr bool isDue(Tick due, Tick now) noexcept { return due == 0 || !tickBefore(now, due); }

// `now` plus a delay, never 0 (which would read as "at once").
[[nodiscard]] constexpr Tick tickAfter(Tick now, std::chrono::milliseconds delay) noexcept {
    const Tick t = now + static_cast<Tick>(delay.count());
    return t == 0 ? 1 : t;
}

class TickClock {
public:
    explicit TickClock(std::uint32_t offset = 0) noexcept : offset_(offset) {}
    [[nodiscard]] Tick now() const noexcept {
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
        return static_cast<Tick>(static_cast<std::uint64_t>(ms.count())) + offset_;
    }

private:
    std::uint32_t offset_;
};

}  // namespace talvo

// The pause after every key event. A character without modifiers is a press and a release, so it takes
// the whole key delay; a shifted one takes twice as long. Pacing is not cut short at shutdown: an
// unpaced burst is exactly what the pause exists to prevent.
#pragma once

#include <chrono>
#include <thread>

namespace talvo::keyboard {

class KeyPacer {
public:
    explicit KeyPacer(int keyDelayMs) : perEvent_(std::chrono::microseconds(keyDelayMs) * 1000 / 2) {}

    void afterEvent() const {
        if (perEvent_.count() > 0) std::this_thread::sleep_for(perEvent_);
    }
    [[nodiscard]] std::chrono::microseconds perEvent() const { return perEvent_; }

private:
    std::chrono::microseconds perEvent_;
};

}  // namespace talvo::keyboard

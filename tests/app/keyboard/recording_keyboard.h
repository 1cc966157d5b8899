// Records every key event it is asked for, in order, with the moment it left the worker. For tests and
// the benchmarks, which may also run it without the pause between events (unpaced). failAfterEvents()
// makes it break down on purpose, to check how the worker reports a backend that stops working.
#pragma once

#include "keyboard/keyboard_output.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace talvo::keyboard {

struct KeyEvent {
    Keysym keysym = 0;
    bool pressed = false;
    std::chrono::steady_clock::time_point at;
    friend bool operator==(const KeyEvent& a, const KeyEvent& b) {
        return a.keysym == b.keysym && a.pressed == b.pressed;
    }
};

class RecordingKeyboard final : public KeyboardOutput {
public:
    enum class Pacing { Paced, Unpaced };
    explicit RecordingKeyboard(Pacing pacing = Pacing::Paced) : paced_(pacing == Pacing::Paced) {}

    [[nodiscard]] QString description() const override;
    [[nodiscard]] bool beginBarcode(std::stop_token stop) override;
    [[nodiscard]] bool typeKeysym(Keysym keysym, const KeyPacer& pacer) override;
    void endBarcode(const KeyPacer& pacer) override;
    [[nodiscard]] QString failureText() const override;

    // Break down (typeKeysym returns false) once this many events have been recorded.
    void failAfterEvents(std::size_t count);
    // Refuse every beginBarcode() from now on.
    void refuseBarcodes();

    [[nodiscard]] std::vector<KeyEvent> events() const;
    // The typed characters, one string per barcode (beginBarcode .. endBarcode).
    [[nodiscard]] std::vector<std::u32string> barcodes() const;
    // Waits until `count` barcodes are complete; false at the deadline.
    [[nodiscard]] bool waitForBarcodes(std::size_t count, std::chrono::milliseconds timeout) const;
    // Waits until `count` key events are recorded; false at the deadline.
    [[nodiscard]] bool waitForEvents(std::size_t count, std::chrono::milliseconds timeout) const;

private:
    void record(Keysym keysym, bool pressed);

    const bool paced_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<KeyEvent> events_;
    std::vector<std::u32string> barcodes_;
    std::u32string current_;
    std::size_t failAfter_ = SIZE_MAX;
    bool refuse_ = false;
    bool failed_ = false;
};

}  // namespace talvo::keyboard

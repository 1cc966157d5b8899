#include "recording_keyboard.h"

#include "keyboard/key_pacer.h"
#include "keyboard/key_strokes.h"

namespace talvo::keyboard {

QString RecordingKeyboard::description() const { return QStringLiteral("Keyboard output: recording (test)"); }

bool RecordingKeyboard::beginBarcode(std::stop_token) {
    const std::lock_guard lock(mutex_);
    current_.clear();
    return !refuse_;
}

bool RecordingKeyboard::typeKeysym(Keysym keysym, const KeyPacer& pacer) {
    {
        const std::lock_guard lock(mutex_);
        if (events_.size() >= failAfter_) {
            failed_ = true;
            return false;
        }
    }
    record(keysym, true);
    if (paced_) pacer.afterEvent();
    record(keysym, false);
    if (paced_) pacer.afterEvent();
    return true;
}

void RecordingKeyboard::endBarcode(const KeyPacer&) {
    {
        const std::lock_guard lock(mutex_);
        barcodes_.push_back(std::move(current_));
        current_.clear();
    }
    changed_.notify_all();
}

QString RecordingKeyboard::failureText() const {
    const std::lock_guard lock(mutex_);
    if (refuse_) return QStringLiteral("the recording keyboard refuses to type");
    return failed_ ? QStringLiteral("the recording keyboard broke down on purpose") : QString();
}

void RecordingKeyboard::failAfterEvents(std::size_t count) {
    const std::lock_guard lock(mutex_);
    failAfter_ = count;
}

void RecordingKeyboard::refuseBarcodes() {
    const std::lock_guard lock(mutex_);
    refuse_ = true;
}

std::vector<KeyEvent> RecordingKeyboard::events() const {
    const std::lock_guard lock(mutex_);
    return events_;
}

std::vector<std::u32string> RecordingKeyboard::barcodes() const {
    const std::lock_guard lock(mutex_);
    return barcodes_;
}

bool RecordingKeyboard::waitForBarcodes(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return barcodes_.size() >= count; });
}

bool RecordingKeyboard::waitForEvents(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return events_.size() >= count; });
}

void RecordingKeyboard::record(Keysym keysym, bool pressed) {
    {
        const std::lock_guard lock(mutex_);
        events_.push_back({keysym, pressed, std::chrono::steady_clock::now()});
        if (pressed) current_.push_back(characterForKeysym(keysym));
    }
    changed_.notify_all();
}

}  // namespace talvo::keyboard

#include "keyboard/typing_worker.h"

#include "keyboard/key_delay.h"
#include "keyboard/key_pacer.h"
#include "keyboard/key_strokes.h"

namespace talvo::keyboard {

using Clock = std::chrono::steady_clock;

TypingWorker::TypingWorker(std::unique_ptr<KeyboardOutput> output, int keyDelayMs, FailureHandler onFailure,
                           TypedObserver onTyped)
    : output_(std::move(output)),
      onFailure_(std::move(onFailure)),
      onTyped_(std::move(onTyped)),
      keyDelayMs_(clampKeyDelay(keyDelayMs)) {
    thread_ = std::jthread([this](std::stop_token stop) { run(stop); });
}

TypingWorker::~TypingWorker() { (void)shutdown(); }

std::optional<std::uint64_t> TypingWorker::enqueue(const QString& text) {
    Barcode barcode{0, keysymsForText(text)};
    std::uint64_t sequence = 0;
    {
        const std::lock_guard lock(mutex_);
        if (!accepting_ || queue_.size() >= kQueueLimit) {
            ++stats_.refused;
            return std::nullopt;
        }
        sequence = barcode.sequence = nextSequence_++;
        queue_.push_back(std::move(barcode));
    }
    changed_.notify_all();
    return sequence;
}

TypingStats TypingWorker::stats() const {
    const std::lock_guard lock(mutex_);
    return stats_;
}

bool TypingWorker::waitIdle(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return queue_.empty() && !busy_; });
}

ShutdownReport TypingWorker::shutdown() {
    {
        const std::lock_guard lock(mutex_);
        if (!thread_.joinable()) return {};
        accepting_ = false;
    }
    shutdownDeadline_.store(
        (Clock::now() + std::chrono::milliseconds(finishAtShutdown_.load())).time_since_epoch().count());
    thread_.request_stop();
    thread_.join();
    const std::lock_guard lock(mutex_);
    ShutdownReport report{queue_.size(), cut_};
    queue_.clear();
    return report;
}

bool TypingWorker::pastShutdownDeadline() const {
    const auto deadline = shutdownDeadline_.load();
    return deadline != 0 && Clock::now().time_since_epoch().count() > deadline;
}

std::optional<TypingWorker::Barcode> TypingWorker::next(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    busy_ = false;
    changed_.notify_all();
    // The wait answers true whenever something is queued, even once stopped: ask the token first.
    if (!changed_.wait(lock, stop, [&] { return !queue_.empty(); }) || stop.stop_requested()) return std::nullopt;
    Barcode barcode = std::move(queue_.front());
    queue_.pop_front();
    busy_ = true;
    return barcode;
}

void TypingWorker::run(std::stop_token stop) {
    while (std::optional<Barcode> barcode = next(stop)) {
        type(*barcode, stop);
        if (onTyped_) onTyped_(barcode->sequence);
    }
    const std::lock_guard lock(mutex_);
    busy_ = false;
    changed_.notify_all();
}

void TypingWorker::type(const Barcode& barcode, std::stop_token stop) {
    bool broken = false;
    {
        const std::lock_guard lock(mutex_);
        broken = broken_;
    }
    bool typed = !broken && output_->beginBarcode(stop);
    if (typed) {
        const KeyPacer pacer(keyDelayMs_);
        for (const Keysym keysym : barcode.keysyms) {
            if (stop.stop_requested() && pastShutdownDeadline()) {
                const std::lock_guard lock(mutex_);
                cut_ = true;
                break;
            }
            if (!output_->typeKeysym(keysym, pacer)) {
                typed = false;
                break;
            }
        }
        output_->endBarcode(pacer);
    }
    // A consent wait cut short by the shutdown is no failure worth a notice.
    if (!typed && !broken && !stop.stop_requested()) reportFailure();
    const std::lock_guard lock(mutex_);
    ++(typed && !cut_ ? stats_.typed : stats_.untyped);
}

void TypingWorker::reportFailure() {
    {
        const std::lock_guard lock(mutex_);
        if (broken_) return;
        broken_ = true;
    }
    if (const QString reason = output_->failureText(); onFailure_ && !reason.isEmpty()) onFailure_(reason);
}

}  // namespace talvo::keyboard

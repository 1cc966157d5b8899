// Latency of the typing worker with the recording output: from the moment a barcode is handed to the
// worker to its first and last key event leaving it. Whatever hands the barcodes over (the producers of
// typing_bench.cpp, or the SDK's data callback in a full-path bench) calls enqueue(); the probe keeps the
// times by sequence number and checks afterwards that every barcode was typed once, whole, in order.
#pragma once

#include "keyboard/key_strokes.h"
#include "keyboard/typing_worker.h"
#include "recording_keyboard.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

namespace talvo::bench {

class TypingProbe {
public:
    using Clock = std::chrono::steady_clock;

    TypingProbe() {
        // Unpaced: the measurement is the worker's own hand-over, not the pause between key events.
        auto output = std::make_unique<keyboard::RecordingKeyboard>(keyboard::RecordingKeyboard::Pacing::Unpaced);
        keyboard_ = output.get();
        worker_ = std::make_unique<keyboard::TypingWorker>(std::move(output), 1, nullptr, [this](std::uint64_t seq) {
            const auto now = Clock::now();
            const std::lock_guard lock(mutex_);
            typedAt_[seq] = now;
        });
    }

    // Hands one barcode over; returns its sequence number.
    std::optional<std::uint64_t> enqueue(const QString& text) {
        const auto before = Clock::now();
        const auto seq = worker_->enqueue(text);
        const auto after = Clock::now();
        const std::lock_guard lock(mutex_);
        if (seq) sent_[*seq] = Sent{before, text};
        enqueueCall_.push_back(std::chrono::duration<double, std::micro>(after - before).count());
        return seq;
    }

    [[nodiscard]] bool waitFor(std::size_t barcodes, std::chrono::milliseconds timeout) {
        // Idle also means the observer has run for the last one.
        return keyboard_->waitForBarcodes(barcodes, timeout) && worker_->waitIdle(timeout);
    }

    // The typed barcodes, in the order they left the worker.
    [[nodiscard]] std::vector<QString> typed() const {
        std::vector<QString> out;
        for (const std::u32string& b : keyboard_->barcodes())
            out.push_back(QString::fromUcs4(b.data(), static_cast<qsizetype>(b.size())));
        return out;
    }

    // Prints median, 99th percentile and worst of: enqueue call, enqueue to first key, enqueue to last key.
    // False when a barcode was typed other than as sent, in another order, or not at all.
    bool report() {
        const std::vector<keyboard::KeyEvent> events = keyboard_->events();
        std::vector<double> first, last;
        std::size_t event = 0;
        const std::lock_guard lock(mutex_);
        std::vector<std::uint64_t> order;
        for (const auto& [seq, sent] : sent_) order.push_back(seq);
        std::sort(order.begin(), order.end());
        const std::vector<QString> got = typedLocked();
        bool exact = got.size() == order.size();
        for (std::size_t i = 0; i < order.size() && exact; ++i) {
            const Sent& sent = sent_[order[i]];
            exact = got[i] == sent.text;
            if (!exact) break;
            const std::size_t keys = keyboard::keysymsForText(sent.text).size();
            first.push_back(ms(events[event].at - sent.at));
            last.push_back(ms(typedAt_[order[i]] - sent.at));
            event += 2 * keys;
        }
        line("enqueue call (us)", enqueueCall_);
        line("enqueue to first key event (ms)", first);
        line("enqueue to last key event (ms)", last);
        std::printf("barcodes sent %zu, typed %zu, %s\n", order.size(), got.size(),
                    exact ? "all exact and in order" : "MISMATCH");
        return exact;
    }

    keyboard::TypingWorker& worker() { return *worker_; }

private:
    struct Sent {
        Clock::time_point at;
        QString text;
    };
    static double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }
    static double percentile(std::vector<double> v, double p) {
        if (v.empty()) return 0;
        std::sort(v.begin(), v.end());
        return v[std::min(v.size() - 1, static_cast<std::size_t>(p / 100.0 * static_cast<double>(v.size())))];
    }
    static void line(const char* what, const std::vector<double>& v) {
        std::printf("%-34s median %8.3f  p99 %8.3f  worst %8.3f  (n=%zu)\n", what, percentile(v, 50), percentile(v, 99),
                    v.empty() ? 0.0 : *std::max_element(v.begin(), v.end()), v.size());
    }
    [[nodiscard]] std::vector<QString> typedLocked() const { return typed(); }

    keyboard::RecordingKeyboard* keyboard_ = nullptr;
    std::unique_ptr<keyboard::TypingWorker> worker_;
    std::mutex mutex_;
    std::unordered_map<std::uint64_t, Sent> sent_;
    std::unordered_map<std::uint64_t, Clock::time_point> typedAt_;
    std::vector<double> enqueueCall_;
};

}  // namespace talvo::bench

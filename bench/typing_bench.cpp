// The typing worker under 16 producers that each hand over a barcode every 20 ms (16 scanners scanning
// at once): latency from the hand-over to the key events leaving the worker, with the recording output
// unpaced, and a check that no barcode was lost, duplicated or reordered per producer.
//   talvo_bench_typing [barcodes-per-producer]   (default 250: 5 s)
#include "typing_probe.h"

#include <cstdlib>
#include <thread>

int main(int argc, char** argv) {
    constexpr int kProducers = 16;
    constexpr auto kPeriod = std::chrono::milliseconds(20);
    const int each = argc > 1 ? std::max(1, std::atoi(argv[1])) : 250;

    talvo::bench::TypingProbe probe;
    {
        std::vector<std::jthread> producers;
        const auto start = std::chrono::steady_clock::now();
        for (int p = 0; p < kProducers; ++p) {
            producers.emplace_back([&, p] {
                auto tick = start + p * kPeriod / kProducers;  // spread over the period, as real scanners are
                for (int i = 0; i < each; ++i, tick += kPeriod) {
                    std::this_thread::sleep_until(tick);
                    (void)probe.enqueue(QStringLiteral("S%1-%2-4006381333931\t").arg(p, 2, 10, QChar(u'0')).arg(i));
                }
            });
        }
    }
    if (!probe.waitFor(static_cast<std::size_t>(kProducers * each), std::chrono::seconds(30))) {
        std::fprintf(stderr, "not every barcode was typed within 30 s\n");
        return 1;
    }
    std::printf("%d producers, a barcode each every %lld ms, %d each\n", kProducers,
                static_cast<long long>(kPeriod.count()), each);
    bool ok = probe.report();
    // Per producer: indexes 0, 1, 2, ... with nothing missing or repeated.
    std::vector<int> next(kProducers, 0);
    for (const QString& text : probe.typed()) {
        const int p = text.mid(1, 2).toInt();
        const int i = text.section(u'-', 1, 1).toInt();
        if (i != next[static_cast<std::size_t>(p)]++) ok = false;
    }
    for (const int n : next) ok = ok && n == each;
    std::printf("per producer: %s\n", ok ? "none lost, duplicated or reordered" : "FAULT");
    return ok ? 0 : 1;
}

// The typing worker with the recording output: order, whole barcodes from several producers, the keys of
// Tab, CR and LF, the key delay, failures reported once, the queue limit and shutdown.
#include "keyboard/typing_worker.h"
#include "keyboard/key_strokes.h"
#include "keyboard/no_keyboard.h"
#include "recording_keyboard.h"

#include <QtTest>

#include <xkbcommon/xkbcommon-keysyms.h>

#include <atomic>
#include <map>
#include <thread>

using namespace talvo::keyboard;
using namespace std::chrono_literals;

namespace {

struct Recorded {
    RecordingKeyboard* keyboard = nullptr;
    std::unique_ptr<TypingWorker> worker;
    std::mutex mutex;
    QStringList failures;

    // Without a delay the recording output runs unpaced.
    explicit Recorded(int delayMs = 0) {
        auto output = std::make_unique<RecordingKeyboard>(delayMs > 0 ? RecordingKeyboard::Pacing::Paced
                                                                      : RecordingKeyboard::Pacing::Unpaced);
        keyboard = output.get();
        worker = std::make_unique<TypingWorker>(std::move(output), delayMs, [this](const QString& reason) {
            const std::lock_guard lock(mutex);
            failures << reason;
        });
    }
    QStringList failuresSoFar() {
        const std::lock_guard lock(mutex);
        return failures;
    }
};

std::u32string u32(const QString& s) {
    std::u32string out;
    for (char32_t c : s.toUcs4()) out.push_back(c);
    return out;
}

}  // namespace

class TypingWorkerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tabCarriageReturnAndLineFeedAreTheirKeys() {
        Recorded r;
        (void)r.worker->enqueue(QStringLiteral("a\tB\rc\n") + QChar(0) + QStringLiteral("\x1b") +
                                QString::fromUtf8("€𝄞"));
        QVERIFY(r.keyboard->waitForBarcodes(1, 5s));
        const std::vector<Keysym> expected{
            'a', XKB_KEY_Tab, 'B', XKB_KEY_Return, 'c', XKB_KEY_Linefeed, XKB_KEY_EuroSign, 0x0101d11e};
        const std::vector<KeyEvent> events = r.keyboard->events();
        QCOMPARE(events.size(), expected.size() * 2);
        for (std::size_t i = 0; i < expected.size(); ++i) {
            QCOMPARE(events[2 * i].keysym, expected[i]);
            QVERIFY(events[2 * i].pressed);
            QCOMPARE(events[2 * i + 1].keysym, expected[i]);
            QVERIFY(!events[2 * i + 1].pressed);
        }
    }

    void barcodesOfManyProducersArriveWholeAndInOrder() {
        Recorded r;
        constexpr int kProducers = 4;
        constexpr int kEach = 200;
        std::vector<std::map<std::uint64_t, QString>> sent(kProducers);
        {
            std::vector<std::jthread> producers;
            for (int p = 0; p < kProducers; ++p) {
                producers.emplace_back([&, p] {
                    for (int i = 0; i < kEach; ++i) {
                        const QString text =
                            QStringLiteral("P%1-%2-%3").arg(p).arg(i).arg(QString(i % 7, QChar(u'a' + p)));
                        if (const auto seq = r.worker->enqueue(text)) sent[static_cast<std::size_t>(p)][*seq] = text;
                    }
                });
            }
        }
        QVERIFY(r.keyboard->waitForBarcodes(kProducers * kEach, 10s));
        std::map<std::uint64_t, QString> all;
        for (const auto& one : sent) all.insert(one.begin(), one.end());
        QCOMPARE(all.size(), std::size_t(kProducers * kEach));
        // Typed in sequence order, each whole: the n-th barcode typed is the n-th accepted.
        const std::vector<std::u32string> typed = r.keyboard->barcodes();
        std::size_t n = 0;
        for (const auto& [seq, text] : all) QCOMPARE(typed[n++], u32(text));
        // And per producer in the order it queued them.
        for (int p = 0; p < kProducers; ++p) {
            int last = -1;
            for (const auto& one : typed) {
                const QString text = QString::fromUcs4(one.data(), static_cast<qsizetype>(one.size()));
                if (!text.startsWith(QStringLiteral("P%1-").arg(p))) continue;
                const int index = text.section(u'-', 1, 1).toInt();
                QCOMPARE(index, last + 1);
                last = index;
            }
            QCOMPARE(last, kEach - 1);
        }
        QCOMPARE(r.worker->stats().typed, std::uint64_t(kProducers * kEach));
    }

    void keyDelayIsClampedAndPaces() {
        Recorded r(20);
        QCOMPARE(r.worker->keyDelay(), 20);
        (void)r.worker->enqueue(QStringLiteral("abc"));
        QVERIFY(r.keyboard->waitForBarcodes(1, 5s));
        const auto events = r.keyboard->events();
        QCOMPARE(events.size(), std::size_t(6));
        // Half the delay after each event: the third press comes at least 2 delays after the first.
        QVERIFY(events[4].at - events[0].at >= 40ms);

        // A worker never runs without a pause between key events.
        QCOMPARE(TypingWorker(std::make_unique<NoKeyboard>(QStringLiteral("test")), 0).keyDelay(), 1);
        QCOMPARE(TypingWorker(std::make_unique<NoKeyboard>(QStringLiteral("test")), -3).keyDelay(), 1);
        QCOMPARE(TypingWorker(std::make_unique<NoKeyboard>(QStringLiteral("test")), 5000).keyDelay(), 1000);
    }

    void aRefusingOutputIsReportedOnceAndBarcodesCounted() {
        Recorded r;
        r.keyboard->refuseBarcodes();
        for (int i = 0; i < 3; ++i) (void)r.worker->enqueue(QStringLiteral("x%1").arg(i));
        QVERIFY(r.worker->waitIdle(5s));
        QCOMPARE(r.failuresSoFar(), QStringList{QStringLiteral("the recording keyboard refuses to type")});
        QCOMPARE(r.worker->stats().untyped, std::uint64_t(3));
        QVERIFY(r.keyboard->events().empty());
    }

    void noOutputIsReportedOnceUnlessChosenOnPurpose() {
        for (const bool deliberate : {false, true}) {
            std::atomic<int> reports{0};
            TypingWorker worker(std::make_unique<NoKeyboard>(QStringLiteral("no X display"), deliberate), 1,
                                [&](const QString&) { ++reports; });
            (void)worker.enqueue(QStringLiteral("a"));
            (void)worker.enqueue(QStringLiteral("b"));
            QVERIFY(worker.waitIdle(5s));
            QCOMPARE(reports.load(), deliberate ? 0 : 1);
            QCOMPARE(worker.stats().untyped, std::uint64_t(2));
            QCOMPARE(worker.description(), QStringLiteral("Keyboard output: none (no X display)"));
        }
    }

    void anOutputBreakingMidBarcodeIsReportedOnceAndNotUsedAgain() {
        Recorded r;
        r.keyboard->failAfterEvents(4);  // two characters, then it breaks
        (void)r.worker->enqueue(QStringLiteral("abcdef"));
        (void)r.worker->enqueue(QStringLiteral("ghi"));
        QVERIFY(r.worker->waitIdle(5s));
        QCOMPARE(r.failuresSoFar().size(), 1);
        QCOMPARE(r.keyboard->events().size(), std::size_t(4));
        QCOMPARE(r.worker->stats().untyped, std::uint64_t(2));
        QCOMPARE(r.worker->stats().typed, std::uint64_t(0));
    }

    void aFullQueueRefusesWithoutBlockingAndCounts() {
        Recorded r(200);  // the first barcode keeps the worker busy
        r.worker->setFinishAtShutdown(0ms);
        (void)r.worker->enqueue(QStringLiteral("slow"));
        QVERIFY(r.keyboard->waitForEvents(1, 5s));
        for (std::size_t i = 0; i < TypingWorker::kQueueLimit; ++i) QVERIFY(r.worker->enqueue(QStringLiteral("q")));
        QVERIFY(!r.worker->enqueue(QStringLiteral("one too many")));
        QCOMPARE(r.worker->stats().refused, std::uint64_t(1));
        const ShutdownReport report = r.worker->shutdown();
        QCOMPARE(report.droppedQueued, TypingWorker::kQueueLimit);
    }

    void shutdownFinishesTheCurrentBarcodeAndReportsTheRest() {
        Recorded r(4);
        (void)r.worker->enqueue(QStringLiteral("0123456789"));
        for (int i = 0; i < 5; ++i) (void)r.worker->enqueue(QStringLiteral("later%1").arg(i));
        QVERIFY(r.keyboard->waitForEvents(1, 5s));
        const ShutdownReport report = r.worker->shutdown();
        QCOMPARE(report.droppedQueued, std::size_t(5));
        QVERIFY(!report.cutCurrent);
        QCOMPARE(r.keyboard->barcodes(), std::vector<std::u32string>{U"0123456789"});
        QVERIFY(!r.worker->enqueue(QStringLiteral("after the end")));
        QCOMPARE(r.worker->shutdown().droppedQueued, std::size_t(0));  // a second shutdown is harmless
    }

    void aLongBarcodeIsCutAtShutdownWithNoKeyHeld() {
        Recorded r(2);
        r.worker->setFinishAtShutdown(30ms);
        (void)r.worker->enqueue(QString(3071, u'z'));
        QVERIFY(r.keyboard->waitForEvents(1, 5s));
        const ShutdownReport report = r.worker->shutdown();
        QVERIFY(report.cutCurrent);
        const auto events = r.keyboard->events();
        QVERIFY(events.size() < 2 * 3071);
        QCOMPARE(events.size() % 2, std::size_t(0));
        QVERIFY(!events.back().pressed);
        QCOMPARE(r.worker->stats().untyped, std::uint64_t(1));
    }
};

QTEST_GUILESS_MAIN(TypingWorkerTest)
#include "typing_worker_test.moc"

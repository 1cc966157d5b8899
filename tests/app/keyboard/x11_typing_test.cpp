// End to end on a private Xvfb: barcodes from two producers at once, typed through XTest into a real X
// client window that has the focus, arrive there exactly and in order, letters, digits, shifted
// characters, Tab, CR, LF and characters the US map lacks included; borrowed keycodes are empty again
// afterwards.
#include "shell/keyboard/typing_worker.h"
#include "shell/keyboard/x11_keyboard.h"
#include "x_key_window.h"
#include "xvfb_server.h"

#include <QtTest>

#include <X11/keysym.h>

#include <map>
#include <thread>

using namespace talvo::keyboard;
using namespace std::chrono_literals;

class X11TypingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void twoProducersTypeIntoTheFocusedWindow() {
        if (XvfbServer::program().isEmpty()) QSKIP("Xvfb is not installed");
        XvfbServer server;
        QVERIFY2(server.running(), qPrintable(server.error()));
        XKeyWindow window(server.display());
        QVERIFY(window.ready());
        QVERIFY(!window.mapHas(XK_EuroSign));  // the premise: € is not on the map

        X11Keyboard::Opened opened = X11Keyboard::open(server.display());
        QVERIFY2(opened.keyboard, qPrintable(opened.reason));
        QVERIFY(opened.keyboard->description().contains(QString::fromLatin1(server.display())));
        TypingWorker worker(std::move(opened.keyboard), 1);

        const QStringList first{QString::fromUtf8("Ab1!\t€x\r"), QString::fromUtf8("Zz9@ą~\n"),
                                QString::fromUtf8("Hello, World?\t€ą€\r")};
        const QStringList second{QString::fromUtf8("SKU-0042_\"ok\"\r"), QString::fromUtf8("ł{}|<>:\t"),
                                 QString::fromUtf8("q%^&*()+=\r")};
        std::mutex mutex;
        std::map<std::uint64_t, QString> sent;
        auto produce = [&](const QStringList& barcodes) {
            for (const QString& barcode : barcodes) {
                const auto seq = worker.enqueue(barcode);
                const std::lock_guard lock(mutex);
                if (seq) sent[*seq] = barcode;
            }
        };
        {
            std::jthread a(produce, first);
            std::jthread b(produce, second);
        }
        QCOMPARE(sent.size(), std::size_t(6));
        QString expected;
        for (const auto& [seq, text] : sent) expected += text;
        const QList<uint> expectedUcs4 = expected.toUcs4();
        const std::u32string got = window.waitForText(static_cast<std::size_t>(expectedUcs4.size()), 20s);
        QVERIFY(worker.waitIdle(10s));
        QCOMPARE(QString::fromUcs4(got.data(), static_cast<qsizetype>(got.size())), expected);
        QCOMPARE(worker.stats().typed, std::uint64_t(6));
        QVERIFY(!window.mapHas(XK_EuroSign));
        QVERIFY(!window.mapHas(XK_aogonek));
    }
};

QTEST_GUILESS_MAIN(X11TypingTest)
#include "x11_typing_test.moc"

// End to end on a private Xvfb: barcodes from two producers at once, typed through XTest into a real X
// client window that has the focus, arrive there exactly and in order, letters, digits, shifted
// characters, Tab, CR, LF and characters the US map lacks included; borrowed keycodes are empty again
// afterwards.
#include "keyboard/typing_worker.h"
#include "keyboard/x11/x11_keyboard.h"
#include "x_key_window.h"
#include "xvfb_server.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <X11/keysym.h>

#include <map>
#include <thread>

using namespace talvo::keyboard;
using namespace std::chrono_literals;

namespace {
// Core modifier bits (X.h itself clashes with Qt's names): Shift, and Mod5 where AltGr sits.
constexpr unsigned kShift = 1u << 0;
constexpr unsigned kAltGr = 1u << 7;
constexpr unsigned kCapsLock = 1u << 1;
}  // namespace

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

    // A user who left Caps Lock on still gets the barcode as scanned; the lock stays as the user set it.
    void capsLockDoesNotChangeTheBarcode() {
        if (XvfbServer::program().isEmpty()) QSKIP("Xvfb is not installed");
        XvfbServer server;
        QVERIFY2(server.running(), qPrintable(server.error()));
        XKeyWindow window(server.display());
        QVERIFY(window.ready());
        window.lockCapsLock();
        X11Keyboard::Opened opened = X11Keyboard::open(server.display());
        QVERIFY2(opened.keyboard, qPrintable(opened.reason));
        TypingWorker worker(std::move(opened.keyboard), 1);
        const QString text = QString::fromUtf8("abC-Dx9;ąĄ€");  // ą, Ą and € on borrowed keycodes
        (void)worker.enqueue(text);
        const std::u32string got = window.waitForText(11, 10s);
        QCOMPARE(QString::fromUcs4(got.data(), static_cast<qsizetype>(got.size())), text);
        for (const unsigned state : window.states()) QVERIFY((state & kCapsLock) != 0);
    }

    // On a German map € and @ are on level 3 (AltGr), Ä on level 2: they are typed with those modifiers
    // held, not through a borrowed keycode.
    void levelThreeCharactersAreTypedWithAltGr() {
        if (XvfbServer::program().isEmpty()) QSKIP("Xvfb is not installed");
        const QString setxkbmap = QStandardPaths::findExecutable(QStringLiteral("setxkbmap"));
        if (setxkbmap.isEmpty()) QSKIP("setxkbmap is not installed");
        XvfbServer server;
        QVERIFY2(server.running(), qPrintable(server.error()));
        QProcess layout;
        layout.start(setxkbmap,
                     {QStringLiteral("-display"), QString::fromLatin1(server.display()), QStringLiteral("de")});
        QVERIFY(layout.waitForFinished(10000));
        if (layout.exitCode() != 0) QSKIP("the German keyboard map is not installed");
        XKeyWindow window(server.display());
        QVERIFY(window.ready());
        QVERIFY(window.mapHas(XK_EuroSign));

        X11Keyboard::Opened opened = X11Keyboard::open(server.display());
        QVERIFY2(opened.keyboard, qPrintable(opened.reason));
        TypingWorker worker(std::move(opened.keyboard), 1);
        const QString text = QString::fromUtf8("e€q@Äßz");
        (void)worker.enqueue(text);
        const std::u32string got = window.waitForText(7, 10s);
        QCOMPARE(QString::fromUcs4(got.data(), static_cast<qsizetype>(got.size())), text);
        const std::vector<unsigned> states = window.states();
        QCOMPARE(states.size(), std::size_t(7));
        QCOMPARE(states[0] & (kShift | kAltGr), 0u);                // e
        QVERIFY((states[1] & kAltGr) != 0);                         // € = AltGr+e
        QVERIFY((states[3] & kAltGr) != 0);                         // @ = AltGr+q
        QCOMPARE(states[4] & (kShift | kAltGr), unsigned(kShift));  // Ä = Shift+ä
        QCOMPARE(states[5] & (kShift | kAltGr), 0u);                // ß
    }
};

QTEST_GUILESS_MAIN(X11TypingTest)
#include "x11_typing_test.moc"

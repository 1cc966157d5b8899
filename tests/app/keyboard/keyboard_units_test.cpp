// The choice of keyboard output, the stored key delay and its command-line form.
#include "keyboard/key_delay.h"
#include "keyboard/keyboard_factory.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace talvo::keyboard;

class KeyboardUnitsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void chooseKeyboard_data() {
        QTest::addColumn<QByteArray>("forced");
        QTest::addColumn<QByteArray>("qpa");
        QTest::addColumn<QByteArray>("session");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<int>("kind");
        const int x11 = int(KeyboardKind::X11), portal = int(KeyboardKind::Portal), none = int(KeyboardKind::None);
        QTest::newRow("x session") << QByteArray() << QByteArray("xcb") << QByteArray("x11") << QByteArray(":0")
                                   << QByteArray() << x11;
        QTest::newRow("wayland with xwayland") << QByteArray() << QByteArray() << QByteArray("wayland")
                                               << QByteArray(":0") << QByteArray("wayland-0") << portal;
        QTest::newRow("x session with a stray wayland variable")
            << QByteArray() << QByteArray() << QByteArray("x11") << QByteArray(":1") << QByteArray("wayland-0") << x11;
        QTest::newRow("display alone") << QByteArray() << QByteArray() << QByteArray("tty") << QByteArray(":5")
                                       << QByteArray() << x11;
        QTest::newRow("nothing") << QByteArray() << QByteArray() << QByteArray() << QByteArray() << QByteArray()
                                 << none;
        QTest::newRow("offscreen never types")
            << QByteArray() << QByteArray("offscreen") << QByteArray("x11") << QByteArray(":0") << QByteArray() << none;
        QTest::newRow("forced x11 offscreen")
            << QByteArray("x11") << QByteArray("offscreen") << QByteArray() << QByteArray(":0") << QByteArray() << x11;
        QTest::newRow("forced none") << QByteArray("none") << QByteArray() << QByteArray("x11") << QByteArray(":0")
                                     << QByteArray() << none;
        QTest::newRow("forced nonsense") << QByteArray("uinput") << QByteArray() << QByteArray() << QByteArray(":0")
                                         << QByteArray() << none;
    }
    void chooseKeyboard() {
        QFETCH(QByteArray, forced);
        QFETCH(QByteArray, qpa);
        QFETCH(QByteArray, session);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, wayland);
        QFETCH(int, kind);
        const KeyboardChoice choice = talvo::keyboard::chooseKeyboard({forced, qpa, session, display, wayland});
        QCOMPARE(int(choice.kind), kind);
        QCOMPARE(choice.reason.isEmpty(), choice.kind != KeyboardKind::None);
        // Switched off on purpose: told on the About page only, no notice at the first barcode.
        QCOMPARE(choice.deliberate, forced == "none" || (forced.isEmpty() && qpa == "offscreen"));
    }

    void anUnopenableDisplayGivesNoneWithTheReason() {
        const auto output = createKeyboardOutput({"x11", {}, {}, ":987654", {}});
        QVERIFY(output->description().startsWith(
            QStringLiteral("Keyboard output: none (cannot open the X display :987654")));
        QVERIFY(!output->beginBarcode({}));
    }

    void keyDelaySetting() {
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        QCOMPARE(readKeyDelay(settings), kKeyDelayDefaultMs);  // missing
        settings.setValue(QStringLiteral("Setting/KeyDelay"), QStringLiteral("fast"));
        QCOMPARE(readKeyDelay(settings), kKeyDelayDefaultMs);  // garbage
        settings.setValue(QStringLiteral("Setting/KeyDelay"), 0);
        QCOMPARE(readKeyDelay(settings), 1);
        settings.setValue(QStringLiteral("Setting/KeyDelay"), 999999999999LL);
        QCOMPARE(readKeyDelay(settings), kKeyDelayMaxMs);
        settings.setValue(QStringLiteral("Setting/KeyDelay"), 25);
        QCOMPARE(readKeyDelay(settings), 25);

        QCOMPARE(parseKeyDelayOption(QStringLiteral("15")), std::optional<int>(15));
        QCOMPARE(parseKeyDelayOption(QStringLiteral("0")), std::nullopt);
        QCOMPARE(parseKeyDelayOption(QStringLiteral("1001")), std::nullopt);
        QCOMPARE(parseKeyDelayOption(QStringLiteral("5ms")), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(KeyboardUnitsTest)
#include "keyboard_units_test.moc"

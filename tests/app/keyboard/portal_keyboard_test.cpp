// The remote-desktop portal output against a fake portal on a private session bus: the session set-up
// (one keyboard-only session for the run), one press and one release call per character in order, a
// refusal, a missing portal and a portal that stops taking keys, each reported once.
#include "fake_portal.h"
#include "private_bus.h"

#include "keyboard/portal/portal_keyboard.h"
#include "keyboard/typing_worker.h"

#include <QtTest>

#include <xkbcommon/xkbcommon-keysyms.h>

#include <mutex>

using namespace talvo::keyboard;
using namespace std::chrono_literals;

namespace {

struct PortalTyping {
    std::mutex mutex;
    QStringList failures;
    PortalKeyboard* portal = nullptr;
    std::unique_ptr<TypingWorker> worker;

    explicit PortalTyping(const QString& address) {
        auto output = std::make_unique<PortalKeyboard>(address, 5s);
        portal = output.get();
        worker = std::make_unique<TypingWorker>(std::move(output), 1, [this](const QString& reason) {
            const std::lock_guard lock(mutex);
            failures << reason;
        });
    }
    QStringList failuresSoFar() {
        const std::lock_guard lock(mutex);
        return failures;
    }
    // Waits for the worker while this thread serves the fake portal.
    [[nodiscard]] bool idle() {
        QElapsedTimer timer;
        timer.start();
        while (!worker->waitIdle(1ms)) {
            if (timer.elapsed() > 10000) return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return true;
    }
};

}  // namespace

class PortalKeyboardTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PrivateBus> bus_;

private Q_SLOTS:
    void init() {
        bus_ = std::make_unique<PrivateBus>();
        if (bus_->address().isEmpty()) QSKIP("dbus-daemon could not start a private bus");
    }
    void cleanup() { bus_.reset(); }

    void oneSessionThenOneCallPairPerCharacterInOrder() {
        FakePortal fake(bus_->address());
        QVERIFY(fake.registered());
        {
            PortalTyping typing(bus_->address());
            QVERIFY(typing.portal->description().contains(QStringLiteral("asked for at the first barcode")));
            (void)typing.worker->enqueue(QString::fromUtf8("aB\t€"));
            (void)typing.worker->enqueue(QStringLiteral("x\r"));
            QVERIFY(typing.idle());
            QCOMPARE(fake.calls, (QStringList{QStringLiteral("CreateSession"), QStringLiteral("SelectDevices"),
                                              QStringLiteral("Start")}));
            QCOMPARE(fake.options[1].value(QStringLiteral("types")).userType(), QMetaType::UInt);
            QCOMPARE(fake.options[1].value(QStringLiteral("types")).toUInt(), 1u);  // the keyboard only
            const std::vector<int> keysyms{'a', 'B', XKB_KEY_Tab, XKB_KEY_EuroSign, 'x', XKB_KEY_Return};
            QCOMPARE(fake.keyEvents.size(), keysyms.size() * 2);
            for (std::size_t i = 0; i < keysyms.size(); ++i) {
                QCOMPARE(fake.keyEvents[2 * i], std::make_pair(keysyms[i], 1u));
                QCOMPARE(fake.keyEvents[2 * i + 1], std::make_pair(keysyms[i], 0u));
            }
            QCOMPARE(fake.sessionsSeen.size(), 2 + fake.keyEvents.size());
            QCOMPARE(QSet<QString>(fake.sessionsSeen.begin(), fake.sessionsSeen.end()).size(), 1);
            QVERIFY(typing.failuresSoFar().isEmpty());
            QCOMPARE(typing.portal->description(), QStringLiteral("Keyboard output: Wayland remote-desktop portal"));
            QCOMPARE(typing.worker->stats().typed, std::uint64_t(2));
            QCOMPARE(fake.session.closed, 0);
        }
        // The session is closed when the output goes.
        QTRY_COMPARE_WITH_TIMEOUT(fake.session.closed, 1, 5000);
    }

    void aRefusalIsReportedOnceAndNotAskedAgain() {
        FakePortal fake(bus_->address());
        fake.refuseMethod = QStringLiteral("Start");
        PortalTyping typing(bus_->address());
        for (int i = 0; i < 3; ++i) (void)typing.worker->enqueue(QStringLiteral("b%1").arg(i));
        QVERIFY(typing.idle());
        QCOMPARE(typing.failuresSoFar(), QStringList{QStringLiteral("remote-desktop portal: the user declined")});
        QCOMPARE(fake.calls.count(QStringLiteral("CreateSession")), 1);
        QVERIFY(fake.keyEvents.empty());
        QCOMPARE(typing.worker->stats().untyped, std::uint64_t(3));
        QCOMPARE(typing.portal->description(),
                 QStringLiteral("Keyboard output: none (remote-desktop portal: the user declined)"));
    }

    void aMissingPortalIsReportedOnce() {
        PortalTyping typing(bus_->address());
        (void)typing.worker->enqueue(QStringLiteral("one"));
        (void)typing.worker->enqueue(QStringLiteral("two"));
        QVERIFY(typing.idle());
        QCOMPARE(typing.failuresSoFar().size(), 1);
        QVERIFY(typing.failuresSoFar()[0].startsWith(QStringLiteral("no remote-desktop portal")));
    }

    void aPortalWithoutKeyboardIsReported() {
        FakePortal fake(bus_->address());
        fake.deviceTypes = 2;  // pointer only
        PortalTyping typing(bus_->address());
        (void)typing.worker->enqueue(QStringLiteral("k"));
        QVERIFY(typing.idle());
        QCOMPARE(typing.failuresSoFar(), QStringList{QStringLiteral("the remote-desktop portal offers no keyboard")});
        QVERIFY(fake.calls.isEmpty());
    }

    void aPortalThatStopsTakingKeysIsReportedOnce() {
        FakePortal fake(bus_->address());
        fake.failKeyEventsAfter = 3;
        PortalTyping typing(bus_->address());
        (void)typing.worker->enqueue(QStringLiteral("abcd"));
        (void)typing.worker->enqueue(QStringLiteral("efgh"));
        QVERIFY(typing.idle());
        QCOMPARE(typing.failuresSoFar().size(), 1);
        QVERIFY(typing.failuresSoFar()[0].startsWith(QStringLiteral("the remote-desktop portal stopped taking keys")));
        QCOMPARE(fake.keyEvents.size(), std::size_t(3));
        QCOMPARE(typing.worker->stats().untyped, std::uint64_t(2));
    }
};

QTEST_GUILESS_MAIN(PortalKeyboardTest)
#include "portal_keyboard_test.moc"

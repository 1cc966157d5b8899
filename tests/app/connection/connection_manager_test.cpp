// The connection manager against the SDK and simulated scanners, with short reconnect delays.
#include "connection/tick.h"
#include "fast_sdk.h"
#include "harness.h"

#include <QThread>
#include <QtTest>

#include <condition_variable>
#include <mutex>

using namespace talvo;
using namespace talvo::test;
using Kind = DeviceEventKind;
using Kinds = std::vector<DeviceEventKind>;

namespace {

constexpr int kWait = 5000;
// How late a timed attempt may run on a loaded machine; below the postponement, so that an attempt
// that was postponed once too often is caught.
constexpr long long kLate = 200;
constexpr long long kEarly = 20;
const long long kDrop = fastDelays().reconnect.afterDrop.count();
const long long kLastOfMany = fastDelays().reconnect.afterLastOfMany.count();
const long long kPostpone = fastDelays().reconnect.retryDelay.count();

// `ms` lies in [expected - kEarly, expected + kLate).
bool onTime(long long ms, long long expected) { return ms >= expected - kEarly && ms < expected + kLate; }

// Time of the record's n-th open (0 = first).
SteadyClock::time_point openAt(const SdkWatch& w, unsigned port, std::size_t n) { return w.opens(port).at(n).at; }

}  // namespace

class ConnectionManagerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useFastSdk(); }

    // ---- connecting

    void connectAnnouncesAndSetsTheClockFromThisMachine() {
        Harness h;
        auto& a = h.scanner(5);
        h.start();
        h.connect(a);
        QCOMPARE(stateOf(a), 1);
        QTRY_COMPARE_WITH_TIMEOUT(h.configurePage.count(Kind::Connected, &a), 1, kWait);
        QTRY_COMPARE_WITH_TIMEOUT(h.settingPage.count(Kind::Connected, &a), 1, kWait);
        QCOMPARE(h.connectPage.kindsFor(&a), (Kinds{Kind::Connecting, Kind::Connected}));
        QCOMPARE(h.configurePage.kindsFor(&a), (Kinds{Kind::Connecting, Kind::Connected}));
        QCOMPARE(h.downloadPage.kindsFor(&a), (Kinds{Kind::Connected}));
        QCOMPARE(h.connectPage.events().back().info.port, 5);
        QVERIFY(h.connectPage.events().back().info.name == L"ZT-550 5");

        const auto clock = h.ports.scanner(5).state().clock;
        const auto local = localScannerTime();
        QCOMPARE(clock[0], local[0]);  // year - 1900
        QCOMPARE(clock[1], local[1]);
        QCOMPARE(clock[6], local[6]);  // day of week
        QCOMPARE(h.manager->connected(), (std::vector<DeviceRecord*>{&a}));
        QVERIFY(h.manager->connectedName(recordHandle(a)) == std::wstring(L"ZT-550 5"));
        QVERIFY(!h.manager->connectedName(nullptr));
        QVERIFY(h.notices.texts().isEmpty());  // the clock was set: nothing to tell
    }

    void handsOnTimeComesFromTheSettingPage() {
        Harness h;
        auto& a = h.scanner(5);
        h.in.timeSync = false;
        h.settingPage.manualTime = ScannerTimeBytes{109, 11, 31, 23, 59, 59, 4};
        h.start();
        h.connect(a);
        QTRY_COMPARE_WITH_TIMEOUT(h.connectPage.count(Kind::Connected, &a), 1, kWait);
        QCOMPARE(h.settingPage.manualTimeRequests, 1);
        QCOMPARE(h.ports.scanner(5).state().clock, (zt::sim::ScannerTime{109, 11, 31, 23, 59, 59, 4}));
    }

    // A scanner that refuses its clock stays connected, but the user learns of it: its barcodes may all
    // carry a wrong (or impossible) time.
    void aRefusedClockIsToldInTheNotice() {
        Harness h;
        auto& a = h.scanner(5);
        h.ports.scanner(5).teach(zt::wire::Command::Time,
                                 [](const zt::wire::FrameHeader&, std::span<const std::uint8_t>) {
                                     return std::optional<zt::sim::Bytes>(zt::sim::Bytes{0x01});  // refused
                                 });
        h.start();
        h.connect(a);
        QTRY_COMPARE_WITH_TIMEOUT(h.connectPage.count(Kind::Connected, &a), 1, kWait);
        QTRY_COMPARE_WITH_TIMEOUT(h.notices.texts().size(), 1, kWait);
        const QString text = h.notices.texts().front();
        QVERIFY2(text.startsWith(QStringLiteral("The clock of ZT-550 5 (COM5) was not set: SDK_ERR_")),
                 qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral("Its barcodes may carry a wrong time.")), qPrintable(text));
        QCOMPARE(stateOf(a), int(DeviceState::Connected));
    }

    void switchedOffScannerGetsOneAttemptThenConnectFail() {
        Harness h;
        auto& a = h.scanner(5);
        h.ports.scanner(5).staySilent(1000);
        h.in.connectRetry = 3;
        h.start();
        h.connect(a);
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(a), 3, kWait);
        QCOMPARE(h.watch.opens(5).size(), 1u);
        QTRY_COMPARE_WITH_TIMEOUT(h.connectPage.kindsFor(&a), (Kinds{Kind::Connecting, Kind::ConnectFailed}), kWait);
        QTRY_COMPARE_WITH_TIMEOUT(h.configurePage.kindsFor(&a), (Kinds{Kind::Connecting, Kind::ConnectFailed}), kWait);
        QVERIFY(h.downloadPage.events().empty());
        QCOMPARE(QString::fromLatin1(statusText(stateOf(a))), QStringLiteral("Connect Fail"));
    }

    void secondRequestForAConnectedScannerIsDropped() {
        Harness h;
        auto& a = h.scanner(5);
        auto& marker = h.scanner(6);
        h.start();
        h.connect(a);
        h.connect(a);
        h.connect(marker);  // runs after both entries of a
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(marker), 2, kWait);
        QCOMPARE(stateOf(a), 2);
        QCOMPARE(h.watch.opens(5).size(), 1u);
        QTRY_COMPARE_WITH_TIMEOUT(h.connectPage.count(Kind::Connected, &a), 1, kWait);
    }

    void getConnectedHandsOutTheSixteenNewest() {
        Harness h;
        std::vector<DeviceRecord*> all;
        for (int port = 1; port <= 20; ++port) all.push_back(&h.scanner(port));
        h.start();
        for (auto* r : all) h.connect(*r);
        QTRY_COMPARE_WITH_TIMEOUT(h.manager->connected(100).size(), 20u, 20000);
        std::vector<DeviceRecord*> newest(all.rbegin(), all.rbegin() + 16);
        QCOMPARE(h.manager->connected(ConnectionManager::kMaxConnectedPerRequest), newest);
        std::array<DeviceRecord*, 16> out{};
        QCOMPARE(h.manager->getConnected(out.data(), 16), 16);
        QCOMPARE(out[0], all[19]);
        QCOMPARE(h.manager->getConnected(out.data(), 0), 0);
        QCOMPARE(h.manager->getConnected(nullptr, 16), 0);
    }

    // ---- drops and reconnects

    void dropWithTwoOthersConnectedRetriesThenFails() {
        Harness h;
        auto& a = h.scanner(5);
        auto& b = h.scanner(6);
        auto& c = h.scanner(7);
        h.in.connectRetry = 2;
        h.in.listed = 3;
        h.start();
        for (auto* r : {&a, &b, &c}) h.connect(*r);
        QTRY_COMPARE_WITH_TIMEOUT(h.manager->connected().size(), 3u, kWait);
        h.connectPage.clear();
        h.configurePage.clear();

        h.ports.scanner(6).hangUp();  // stays away
        QVERIFY(h.watch.waitForDisconnects(1, 3000ms));
        const auto dropped = SteadyClock::now();
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(b), 3, kWait);

        const auto opens = h.watch.opens(6);
        QCOMPARE(opens.size(), 4u);  // the first connect and three attempts
        const long long first = msSince(dropped, opens[1].at);
        QVERIFY2(onTime(first, kDrop), qPrintable(QString::number(first)));
        for (std::size_t i = 2; i < opens.size(); ++i) {
            const long long gap = msSince(opens[i - 1].at, opens[i].at);
            QVERIFY2(onTime(gap, kPostpone), qPrintable(QString::number(gap)));
        }
        QTRY_COMPARE_WITH_TIMEOUT(h.connectPage.kindsFor(&b), (Kinds{Kind::Connecting, Kind::ConnectFailed}), kWait);
        QTRY_COMPARE_WITH_TIMEOUT(h.configurePage.kindsFor(&b),
                                  (Kinds{Kind::Disconnected, Kind::Connecting, Kind::ConnectFailed}), kWait);
        QCOMPARE(h.manager->connected(), (std::vector<DeviceRecord*>{&c, &a}));
    }

    void droppedScannerThatComesBackIsConnectedAgain() {
        Harness h;
        auto& a = h.scanner(5);
        h.start();
        h.connect(a);
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(a), 2, kWait);
        h.ports.scanner(5).hangUp();
        QVERIFY(h.watch.waitForDisconnects(1, 3000ms));
        h.ports.scanner(5).comeBack();
        QTRY_COMPARE_WITH_TIMEOUT(h.connectPage.count(Kind::Connected, &a), 2, kWait);
        QCOMPARE(stateOf(a), 2);
        QCOMPARE(h.watch.opens(5).size(), 2u);
        QCOMPARE(h.connectPage.kindsFor(&a),
                 (Kinds{Kind::Connecting, Kind::Connected, Kind::Connecting, Kind::Connected}));
    }

    void lastOfFourListedWaitsLongerAndRetryZeroKeepsTheDueTime() {
        Harness h;
        auto& a = h.scanner(5);
        h.in.connectRetry = 0;
        h.in.listed = 4;
        h.start();
        h.connect(a);
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(a), 2, kWait);
        h.ports.scanner(5).hangUp();
        QVERIFY(h.watch.waitForDisconnects(1, 3000ms));
        const auto dropped = SteadyClock::now();
        h.ports.scanner(5).comeBack();
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(a), 0, kWait);
        QCOMPARE(readFields(a).retriesLeft, -1);
        QTRY_COMPARE_WITH_TIMEOUT(h.connectPage.kindsFor(&a).back(), Kind::Disconnected, kWait);

        h.connect(a);  // at once after the drop: waits for the drop's due time plus one postponement
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(a), 2, kWait);
        const long long waited = msSince(dropped, openAt(h.watch, 5, 1));
        QVERIFY2(onTime(waited, kLastOfMany + kPostpone), qPrintable(QString::number(waited)));
    }

    void lastOfFourListedRetriesAfterTheLongerDelay() {
        Harness h;
        auto& a = h.scanner(5);
        h.in.connectRetry = 1;
        h.in.listed = 4;
        h.start();
        h.connect(a);
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(a), 2, kWait);
        h.ports.scanner(5).hangUp();
        QVERIFY(h.watch.waitForDisconnects(1, 3000ms));
        const auto dropped = SteadyClock::now();
        h.ports.scanner(5).comeBack();
        QTRY_COMPARE_WITH_TIMEOUT(h.connectPage.count(Kind::Connected, &a), 2, kWait);
        const long long waited = msSince(dropped, openAt(h.watch, 5, 1));
        QVERIFY2(onTime(waited, kLastOfMany), qPrintable(QString::number(waited)));
    }

    void reconnectAcrossTheTickWrap() {
        Harness h;
        auto& a = h.scanner(5);
        ConnectionDelays d = fastDelays();
        // The tick passes 2^32 about 150 ms from now, in the middle of the reconnect delay.
        d.tickOffset = static_cast<std::uint32_t>(0) - 150u - TickClock{}.now();
        h.start(d);
        h.connect(a);
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(a), 2, kWait);
        h.ports.scanner(5).hangUp();
        QVERIFY(h.watch.waitForDisconnects(1, 3000ms));
        const auto dropped = SteadyClock::now();
        h.ports.scanner(5).comeBack();
        QTRY_COMPARE_WITH_TIMEOUT(h.connectPage.count(Kind::Connected, &a), 2, kWait);
        const long long waited = msSince(dropped, openAt(h.watch, 5, 1));
        QVERIFY2(onTime(waited, kDrop), qPrintable(QString::number(waited)));
    }

    // A drop reported after ztInitialize returned and before the record was listed.
    void dropBeforeListingEndsInAReconnect() {
        Harness h;
        auto& a = h.scanner(5);
        bool first = true;
        h.watch.afterOpen = [&](unsigned port, ScannerHandle handle) {
            if (port != 5 || handle == nullptr || !std::exchange(first, false)) return;
            h.ports.scanner(5).hangUp();
            (void)h.watch.waitForDisconnects(1, 3000ms);
            h.ports.scanner(5).comeBack();
        };
        h.start();
        h.connect(a);
        QTRY_COMPARE_WITH_TIMEOUT(h.watch.opens(5).size(), 2u, kWait);
        QTRY_COMPARE_WITH_TIMEOUT(h.connectPage.count(Kind::Connected, &a), 1, kWait);  // clock set too
        QCOMPARE(stateOf(a), 2);
        QCOMPARE(h.watch.disconnectsReported(), 1);
        QCOMPARE(h.manager->connected(), (std::vector<DeviceRecord*>{&a}));
        int first1 = 0, second1 = 0;
        QCOMPARE(ztGetBatteryStatus(recordHandle(a), &first1, &second1), SDK_OK);  // the handle is alive
    }

    void dropBeforeListingWithRetryZeroEndsDisconnected() {
        Harness h;
        auto& a = h.scanner(5);
        h.in.connectRetry = 0;
        h.watch.afterOpen = [&](unsigned port, ScannerHandle handle) {
            if (port != 5 || handle == nullptr) return;
            h.ports.scanner(5).hangUp();
            (void)h.watch.waitForDisconnects(1, 3000ms);
        };
        h.start();
        h.connect(a);
        QTRY_COMPARE_WITH_TIMEOUT(h.connectPage.kindsFor(&a).size(), 3u, kWait);
        QCOMPARE(h.connectPage.kindsFor(&a), (Kinds{Kind::Connecting, Kind::Connecting, Kind::Disconnected}));
        QCOMPARE(stateOf(a), 0);
        QCOMPARE(recordHandle(a), nullptr);
        QVERIFY(h.manager->connected().empty());
    }

    // ---- disconnecting

    void disconnectRequestClosesAndAnnounces() {
        Harness h;
        auto& a = h.scanner(5);
        h.start();
        h.connect(a);
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(a), 2, kWait);
        h.disconnect(a);
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(a), 0, kWait);
        QVERIFY(h.manager->connected().empty());
        QCOMPARE(recordHandle(a), nullptr);
        for (auto* page : {&h.connectPage, &h.downloadPage, &h.settingPage, &h.configurePage})
            QTRY_COMPARE_WITH_TIMEOUT(page->count(Kind::Disconnected, &a), 1, kWait);
        h.connect(a);  // the port is free again
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(a), 2, kWait);
    }

    void dropWhileADisconnectOfAnotherRuns() {
        Harness h;
        auto& a = h.scanner(5);
        auto& b = h.scanner(6);
        h.in.connectRetry = 1;
        h.start();
        h.connect(a);
        h.connect(b);
        QTRY_COMPARE_WITH_TIMEOUT(h.manager->connected().size(), 2u, kWait);
        const ScannerHandle closing = recordHandle(a);
        bool sawDrop = false;
        h.watch.beforeClose = [&](ScannerHandle handle) {
            if (handle != closing) return;
            h.ports.scanner(6).hangUp();
            sawDrop = h.watch.waitForDisconnects(1, 3000ms);  // b's drop is handled while a closes
        };
        h.disconnect(a);
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(a), 0, kWait);
        QVERIFY(sawDrop);
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(b), 3, kWait);  // one retry, still away
        QCOMPARE(h.watch.opens(6).size(), 3u);
    }

    // The user-interface thread does not run its event loop here: the drop is handled anyway.
    void dropIsHandledWhileTheUserInterfaceThreadIsBusy() {
        Harness h;
        auto& a = h.scanner(5);
        auto& b = h.scanner(6);
        h.in.connectRetry = 0;
        h.in.listed = 4;
        h.start();
        h.connect(a);
        h.connect(b);
        QTRY_COMPARE_WITH_TIMEOUT(h.manager->connected().size(), 2u, kWait);
        h.ports.scanner(5).hangUp();
        // The drop callback has returned, and it set the state itself, without the event loop.
        QVERIFY(h.watch.waitForDisconnects(1, 3000ms));
        QCOMPARE(stateOf(a), 0);
        QCOMPARE(h.manager->connected(), (std::vector<DeviceRecord*>{&b}));
    }

    // ---- the Connect page lets go of records

    void recordRetiredWhileItsOpenRunsIsClosedAndNeverListed() {
        Harness h;
        h.ports.add(5);
        auto owned = makeRecord(5);
        DeviceRecord* a = owned.get();
        std::mutex m;
        std::condition_variable cv;
        bool inside = false, go = false;
        h.watch.beforeOpen = [&](unsigned port) {
            if (port != 5) return;
            std::unique_lock lock(m);
            inside = true;
            cv.notify_all();
            cv.wait_for(lock, 3000ms, [&] { return go; });
        };
        h.start();
        h.connect(*a);
        {
            std::unique_lock lock(m);
            QVERIFY(cv.wait_for(lock, 3000ms, [&] { return inside; }));
        }
        h.manager->retire(std::move(owned));  // the worker is inside the open right now
        {
            std::lock_guard lock(m);
            go = true;
        }
        cv.notify_all();
        QTRY_COMPARE_WITH_TIMEOUT(h.watch.opens(5).size(), 1u, kWait);
        QCOMPARE(h.watch.opens(5)[0].error, 0);
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(*a), 0, kWait);
        QVERIFY(h.manager->connected().empty());

        auto& again = h.records.emplace_back(makeRecord(5));  // the port was closed: it opens again
        h.connect(*again);
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(*again), 2, kWait);
        QCOMPARE(h.connectPage.count(Kind::Connected, a), 0);
    }

    void retiredConnectedRecordIsClosedAndAnnouncedDisconnected() {
        Harness h;
        h.ports.add(5);
        auto owned = makeRecord(5);
        DeviceRecord* a = owned.get();
        h.start();
        h.connect(*a);
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(*a), 2, kWait);
        h.manager->retire(std::move(owned));
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(*a), 0, kWait);
        QVERIFY(h.manager->connected().empty());
        QTRY_COMPARE_WITH_TIMEOUT(h.configurePage.count(Kind::Disconnected, a), 1, kWait);
        auto& marker = h.scanner(6);
        h.connect(*a);  // a request for a retired record opens nothing
        h.connect(marker);
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(marker), 2, kWait);
        QCOMPARE(h.watch.opens(5).size(), 1u);
    }

    // ---- the end

    void scannerDropsAtTheMomentTheProgramEnds() {
        for (int round = 0; round < 5; ++round) {
            Harness h;
            auto& a = h.scanner(5);
            auto& b = h.scanner(6);
            h.in.listed = 4;
            h.start();
            h.connect(a);
            h.connect(b);
            QTRY_COMPARE_WITH_TIMEOUT(h.manager->connected().size(), 2u, kWait);
            const auto began = SteadyClock::now();
            h.ports.scanner(5).hangUp();
            h.manager->shutdown();
            QVERIFY(msSince(began, SteadyClock::now()) < 3000);
            QVERIFY(h.manager->connected().empty());
        }
    }

    void shutdownDoesNotWaitForASettingPageThatNeverAnswers() {
        QThread deaf;  // never started: events posted to its objects are never handled
        auto receiver = std::make_unique<EventPage>();
        receiver->manualTime = ScannerTimeBytes{};
        receiver->moveToThread(&deaf);
        {
            Harness h;
            auto& a = h.scanner(5);
            h.in.timeSync = false;
            h.start(fastDelays(), receiver.get());
            h.connect(a);
            QTRY_COMPARE_WITH_TIMEOUT(stateOf(a), 2, kWait);  // listed; the worker now waits for the time
            const auto began = SteadyClock::now();
            h.manager->shutdown();
            QVERIFY(msSince(began, SteadyClock::now()) < 2000);
        }
        QCoreApplication::removePostedEvents(receiver.get());
    }

    void shutdownCutsShortASilentScannersOpen() {
        Harness h;
        auto& a = h.scanner(5);
        h.ports.scanner(5).staySilent(1000);
        h.start();
        h.connect(a);
        QTRY_COMPARE_WITH_TIMEOUT(h.ports.scanner(5).frames().empty(), false, kWait);
        h.manager->shutdown();
        h.manager->shutdown();  // twice is harmless
        QVERIFY(h.manager->connected().empty());
    }
};

QTEST_GUILESS_MAIN(ConnectionManagerTest)
#include "connection_manager_test.moc"

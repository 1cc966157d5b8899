// The shipped SDK library and the shipped reconnect delays: a scanner that drops while two others stay
// connected is tried again after about 13 s and then every 5 s while its retries last.
#include "harness.h"

#include <QtTest>

using namespace talvo;
using namespace talvo::test;

class ConnectionRealDelayTest : public QObject {
    Q_OBJECT

private slots:
    void dropRetriesAfterThirteenSecondsThenEveryFive() {
        Harness h;
        auto& a = h.scanner(5);
        auto& b = h.scanner(6);
        auto& c = h.scanner(7);
        h.in.connectRetry = 2;
        h.in.listed = 3;
        h.start(ConnectionDelays::shipped());
        for (auto* r : {&a, &b, &c}) h.connect(*r);
        QTRY_COMPARE_WITH_TIMEOUT(h.manager->connected().size(), 3u, 15000);

        h.ports.scanner(6).hangUp();
        QVERIFY(h.watch.waitForDisconnects(1, 5000ms));
        const auto dropped = SteadyClock::now();
        QCOMPARE(stateOf(b), 1);
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(b), 3, 30000);

        const auto opens = h.watch.opens(6);
        QCOMPARE(opens.size(), 4u);
        const long long first = msSince(dropped, opens[1].at);
        QVERIFY2(first >= 12900 && first < 13600, qPrintable(QString::number(first)));
        for (std::size_t i = 2; i < opens.size(); ++i) {
            const long long gap = msSince(opens[i - 1].at, opens[i].at);
            QVERIFY2(gap >= 4900 && gap < 5600, qPrintable(QString::number(gap)));
        }
        QCOMPARE(h.manager->connected(), (std::vector<DeviceRecord*>{&c, &a}));
    }
};

QTEST_GUILESS_MAIN(ConnectionRealDelayTest)
#include "connection_real_delay_test.moc"

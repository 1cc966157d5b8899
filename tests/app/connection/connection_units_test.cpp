// The pieces under the connection manager: application messages across threads, the queue order and
// the wrapping tick.
#include "connection/connect_queue.h"
#include "connection/record_fields.h"
#include "connection/tick.h"
#include "messages/app_messages.h"

#include <QThread>
#include <QtTest>

#include <memory>
#include <thread>

using namespace talvo;

namespace {

// Answers MsgGetDeviceCount with `count`; fills a GetManualTime payload; leaves the rest unanswered.
class Answerer : public QObject {
public:
    int count = 7;
    std::atomic<int> handled{0};

protected:
    void customEvent(QEvent* event) override {
        auto* m = AppEvent::from(event);
        if (m == nullptr) return;
        ++handled;
        if (m->message() == AppMessage::GetDeviceCount) m->setResult(count);
        if (m->message() == AppMessage::GetManualTime) {
            if (auto* bytes = m->payload<std::array<std::uint8_t, 7>>()) (*bytes)[0] = 109;
            m->setResult(1);
        }
    }
};

std::unique_ptr<DeviceRecord> recordDue(int port, std::uint32_t due) {
    auto r = std::make_unique<DeviceRecord>(port, L"ZT-550");
    r->dueTime = due;
    return r;
}

}  // namespace

class ConnectionUnitsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { openSendGate(); }

    void messagesKeepTheirNumbers() {
        QCOMPARE(int(eventType(AppMessage::ConnectRequest)), 1035);
        QCOMPARE(int(eventType(AppMessage::GetDeviceCount)), 1047);
        QEvent plain(QEvent::User);
        QVERIFY(AppEvent::from(&plain) == nullptr);
    }

    void sendOnTheReceiversThreadIsHandledAtOnce() {
        Answerer a;
        const auto reply = sendMessage(&a, AppMessage::GetDeviceCount);
        QVERIFY(reply);
        QCOMPARE(reply->result, 7);
        QVERIFY(!sendMessage(&a, AppMessage::SetNoticeText));  // not answered
        QVERIFY(!sendMessage(nullptr, AppMessage::GetDeviceCount));
    }

    void sendFromAnotherThreadWaitsForTheAnswerAndItsPayload() {
        Answerer a;
        std::optional<MessageReply> reply;
        std::jthread sender(
            [&] { reply = sendMessage(&a, AppMessage::GetManualTime, 0, 0, std::any(std::array<std::uint8_t, 7>{})); });
        QTRY_VERIFY(a.handled == 1);
        sender.join();
        QVERIFY(reply);
        QCOMPARE(reply->result, 1);
        using Bytes = std::array<std::uint8_t, 7>;
        QCOMPARE(std::any_cast<Bytes>(reply->payload)[0], std::uint8_t{109});
    }

    void blockedSendGivesUpOnStopOrClosedGate() {
        Answerer a;  // this thread does not run its loop while the senders wait
        std::optional<MessageReply> stopped{MessageReply{}}, gated{MessageReply{}}, late{MessageReply{}};
        std::jthread first(
            [&](std::stop_token stop) { stopped = sendMessage(&a, AppMessage::GetDeviceCount, 0, 0, {}, stop); });
        first.request_stop();
        first.join();
        QVERIFY(!stopped);

        std::jthread second([&] { gated = sendMessage(&a, AppMessage::GetDeviceCount); });
        closeSendGate();
        second.join();
        QVERIFY(!gated);
        std::jthread third([&] { late = sendMessage(&a, AppMessage::GetDeviceCount); });
        third.join();
        QVERIFY(!late);
        openSendGate();
        QCoreApplication::sendPostedEvents(&a);  // the abandoned events are still handled, harmlessly
    }

    void sendFromAnotherThreadThatNobodyAnswersReturnsNothing() {
        Answerer a;
        std::optional<MessageReply> reply{MessageReply{}};
        std::jthread sender([&] { reply = sendMessage(&a, AppMessage::SetNoticeText); });
        QTRY_VERIFY(a.handled == 1);
        sender.join();
        QVERIFY(!reply);
    }

    void postedMessagesArriveInOrder() {
        struct Log : QObject {
            std::vector<MessageArg> seen;
            void customEvent(QEvent* e) override {
                if (auto* m = AppEvent::from(e)) seen.push_back(m->first());
            }
        } log;
        std::jthread poster([&] {
            for (int i = 0; i < 100; ++i) postMessage(&log, AppMessage::DeviceEvent, i);
        });
        poster.join();
        QTRY_COMPARE(log.seen.size(), 100u);
        for (int i = 0; i < 100; ++i) QCOMPARE(log.seen[std::size_t(i)], i);
    }

    void tickComparisonsWrap() {
        QVERIFY(tickBefore(0xFFFFFF00u, 0x00000010u));  // just before the wrap is before just after it
        QVERIFY(!tickBefore(0x00000010u, 0xFFFFFF00u));
        QCOMPARE(tickDiff(0x00000010u, 0xFFFFFF00u), 0x110);
        QVERIFY(isDue(0, 0x80000001u));  // 0 is "at once" wherever the clock stands
        QVERIFY(!isDue(0x00000010u, 0xFFFFFF00u));
        QVERIFY(isDue(0xFFFFFF00u, 0x00000010u));
        QCOMPARE(tickAfter(0xFFFFFFFFu, std::chrono::milliseconds(1)), 1u);  // never 0
        QVERIFY(dueLater(5, 0));
        QVERIFY(!dueLater(0, 5));
        QVERIFY(dueLater(0x00000010u, 0xFFFFFF00u));
    }

    void queueKeepsDueOrderAndClosesFirst() {
        auto early = recordDue(1, 0xFFFFFF00u);
        auto late = recordDue(2, 0x00000100u);  // after the wrap
        auto now = recordDue(3, 0);
        auto again = recordDue(4, 0);
        auto closing = recordDue(5, 0);
        ConnectQueue q;
        q.insertByDue({RequestKind::Connect, late.get()}, late->dueTime);
        q.insertByDue({RequestKind::Connect, early.get()}, early->dueTime);
        q.insertByDue({RequestKind::Connect, now.get()}, 0);
        q.insertByDue({RequestKind::Connect, again.get()}, 0);  // behind the other "at once"
        q.pushDisconnect(closing.get());
        q.insertByDue({RequestKind::Connect, late.get()}, late->dueTime);  // a record may stand twice
        QCOMPARE(q.frontDue().value(), 0u);
        std::vector<DeviceRecord*> order;
        std::vector<RequestKind> kinds;
        while (auto e = q.takeFront()) {
            order.push_back(e->record);
            kinds.push_back(e->kind);
        }
        QCOMPARE(order, (std::vector<DeviceRecord*>{closing.get(), now.get(), again.get(), early.get(), late.get(),
                                                    late.get()}));
        QCOMPARE(kinds.front(), RequestKind::Disconnect);
        QVERIFY(!q.frontDue());
    }

    void queueWithdrawsConnectsButKeepsTheClose() {
        auto a = recordDue(1, 0);
        ConnectQueue q;
        q.insertByDue({RequestKind::Connect, a.get()}, 0);
        q.pushDisconnect(a.get());
        q.insertByDue({RequestKind::Connect, a.get()}, 0);
        q.removeConnects(a.get());
        QCOMPARE(q.size(), 1u);
        QVERIFY(q.hasDisconnect(a.get()));
    }

    void recordFieldsChangeTogether() {
        DeviceRecord r(3, L"ZT-550");
        const auto before = updateFields(r, [](RecordFields& f) {
            f.state = 2;
            f.retriesLeft = -1;
            f.dueTime = 42;
        });
        QCOMPARE(before.state, 0);
        const auto now = readFields(r);
        QCOMPARE(now.state, 2);
        QCOMPARE(now.retriesLeft, -1);
        QCOMPARE(now.dueTime, 42u);
    }
};

QTEST_GUILESS_MAIN(ConnectionUnitsTest)
#include "connection_units_test.moc"

// Live barcodes: the checks and forms of the data callback's work (records built as the SDK hands them
// over), and the whole road from a simulated scanner through the SDK and the connection manager.
#include "fast_sdk.h"
#include "harness.h"
#include "messages/message_box.h"
#include "realtime/deleted_data_notifier.h"
#include "realtime/live_record.h"
#include "realtime/real_time_data.h"
#include "realtime/real_time_row.h"
#include "realtime/rejected_scans.h"
#include "realtime/scanner_text.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include <clocale>
#include <mutex>

using namespace talvo;
using namespace talvo::test;

namespace {

constexpr int kWait = 5000;
using TimeBytes = std::array<std::uint8_t, 7>;
constexpr TimeBytes kMarch5{110, 2, 5, 14, 7, 9, 5};  // 2010/03/05 14:07:09

// A record as the SDK passes it: tag, clock, two doubles, text, zero byte; length = 25 + text length.
std::vector<unsigned char> liveRecord(std::string_view text, TimeBytes time = kMarch5) {
    std::vector<unsigned char> r(24, 0);
    std::copy(time.begin(), time.end(), r.begin() + 1);
    r.insert(r.end(), text.begin(), text.end());
    r.push_back(0);
    return r;
}

// Takes the rows posted with MsgAddRealTimeRow.
class RowSink : public QObject {
public:
    std::vector<RealTimeRow> rows;

protected:
    void customEvent(QEvent* event) override {
        if (auto* m = AppEvent::from(event); m && m->message() == AppMessage::AddRealTimeRow)
            if (auto* row = m->payload<RealTimeRow>()) rows.push_back(*row);
    }
};

// What would be typed, in order (called on whichever thread delivers the barcode).
struct Typed {
    mutable std::mutex mutex;
    QStringList texts;
    TypeBarcode sink() {
        return [this](const QString& t) {
            std::lock_guard lock(mutex);
            texts.append(t);
        };
    }
    QStringList all() const {
        std::lock_guard lock(mutex);
        return texts;
    }
};

struct Flags {
    std::atomic<bool> realTime{true};
    std::atomic<bool> timeStamp{false};
    RealTimeInputs inputs(std::function<std::optional<std::wstring>(ScannerHandle)> names = {}) {
        return {[this] { return realTime.load(); }, [this] { return timeStamp.load(); }, std::move(names)};
    }
};

}  // namespace

class RealTimeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { talvo::test::usePatientFastSdk(); }
    void init() { MessageBox::clearAnswers(); }

    // ---- one record

    void barcodeBecomesRowAndTypedText() {
        RowSink rows;
        Typed typed;
        Flags flags;
        RealTimeData data(&rows, nullptr, typed.sink(),
                          flags.inputs([](ScannerHandle) { return std::wstring(L"ZT-550 7"); }));
        const auto r = liveRecord("A\tB\\C\r\n");
        data.onScanData(nullptr, r.data(), static_cast<int>(r.size()), 0);
        QCoreApplication::sendPostedEvents(&rows);
        QCOMPARE(rows.rows.size(), std::size_t{1});
        QCOMPARE(rows.rows[0].data, QStringLiteral("A\\tB\\\\C\\r\\n"));
        QCOMPARE(rows.rows[0].date, QStringLiteral("2010/03/05 14:07:09"));
        QCOMPARE(rows.rows[0].device, QStringLiteral("ZT-550 7"));
        QCOMPARE(typed.all(), QStringList{QStringLiteral("A\tB\\C\r\n")});  // typed as it came: Tab, CR, LF keys
    }

    void timeStampAndRealTimeChooseWhatIsTyped() {
        RowSink rows;
        Typed typed;
        Flags flags;
        RealTimeData data(&rows, nullptr, typed.sink(), flags.inputs());
        const auto r = liveRecord("123");
        flags.timeStamp = true;
        flags.realTime = false;
        data.onScanData(nullptr, r.data(), static_cast<int>(r.size()), 0);
        QVERIFY(typed.all().isEmpty());  // "TimeStamp" without "RealTime" types nothing
        flags.realTime = true;
        data.onScanData(nullptr, r.data(), static_cast<int>(r.size()), 0);
        QCOMPARE(typed.all(), QStringList{QStringLiteral("2010/03/05 14:07:09 123")});
        QCoreApplication::sendPostedEvents(&rows);
        QCOMPARE(rows.rows.size(), std::size_t{2});
        for (const auto& row : rows.rows) QCOMPARE(row.data, QStringLiteral("123"));  // never the time prefix
        QVERIFY(rows.rows[0].device.isEmpty());  // no connected scanner behind the handle
    }

    void impossibleTimesAreKeptAside_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("kept");
        QTest::newRow("month byte 11") << 1 << 11 << true;
        QTest::newRow("month byte 12") << 1 << 12 << false;
        QTest::newRow("day 0") << 2 << 0 << false;
        QTest::newRow("day 31") << 2 << 31 << true;
        QTest::newRow("day 32") << 2 << 32 << false;
        QTest::newRow("hour 24") << 3 << 24 << false;
        QTest::newRow("minute 60") << 4 << 60 << false;
        QTest::newRow("second 60") << 5 << 60 << false;
        QTest::newRow("day of week 99") << 6 << 99 << true;
        QTest::newRow("day of week 100") << 6 << 100 << false;
    }
    // A barcode whose time is impossible is neither listed nor typed, but kept in the rejected file
    // (with its time bytes and text as sent), and the notice tells of the first one of each scanner.
    void impossibleTimesAreKeptAside() {
        QFETCH(int, field);
        QFETCH(int, value);
        QFETCH(bool, kept);
        RowSink rows;
        Typed typed;
        Flags flags;
        QStringList notices;
        QTemporaryDir folder;
        RejectedScans rejected(folder.path().toStdString(), [&notices](const QString& text) { notices << text; });
        DeletedDataNotifier deleted(nullptr);
        RealTimeData data(&rows, &deleted, typed.sink(),
                          flags.inputs([](ScannerHandle) { return std::optional<std::wstring>(L"ZT-550 7"); }),
                          &rejected);
        TimeBytes t = kMarch5;
        t[static_cast<std::size_t>(field)] = static_cast<std::uint8_t>(value);
        const auto r = liveRecord("X\ty", t);
        MessageBox::queueAnswer(QMessageBox::Ok);
        data.onScanData(nullptr, r.data(), static_cast<int>(r.size()), 0);
        data.onScanData(nullptr, r.data(), static_cast<int>(r.size()), 1);
        data.onScanData(nullptr, r.data(), static_cast<int>(r.size()), 0);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(rows.rows.size(), std::size_t{kept ? 2U : 0U});
        QCOMPARE(typed.all().size(), kept ? 2 : 0);
        QCOMPARE(MessageBox::shownTexts().size(), kept ? 1 : 0);
        if (field == 1 && kept) QCOMPARE(rows.rows[0].date, QStringLiteral("2010/12/05 14:07:09"));

        QFile file(folder.filePath(QString::fromLatin1(RejectedScans::kFileName)));
        if (kept) {
            QVERIFY(!file.exists());
            QVERIFY(notices.isEmpty());
            return;
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 4);  // three lines and the end after the last
        QVERIFY(lines[3].isEmpty());
        QString bytes;
        for (const auto b : t) bytes += QStringLiteral("%1 ").arg(b, 2, 16, QLatin1Char('0'));
        const QByteArray tail = ("\tZT-550 7\t" + bytes.trimmed() + "\tX\\ty\t").toUtf8();
        for (int i = 0; i < 3; ++i) {
            QVERIFY2(lines[i].contains(tail), lines[i].constData());
            QVERIFY(lines[i].endsWith(i == 1 ? "deleted" : "scan"));
        }
        QCOMPARE(notices.size(), 1);  // once for the scanner
        QVERIFY2(notices[0].contains(QStringLiteral("ZT-550 7")) && notices[0].contains(file.fileName()),
                 qPrintable(notices[0]));
    }

    // The file only grows, and a folder where it cannot be written is told with the barcode's text.
    void rejectedBarcodesAreAppendedOrToldWithTheirText() {
        QTemporaryDir folder;
        QStringList notices;
        const auto notify = [&notices](const QString& text) { notices << text; };
        TimeBytes bad = kMarch5;
        bad[3] = 99;
        {
            RejectedScans first(folder.path().toStdString(), notify);
            first.keep(QStringLiteral("A"), bad, "1", false);
        }
        RejectedScans second(folder.path().toStdString(), notify);
        second.keep(QStringLiteral("A"), bad, "2", false);
        QFile file(folder.filePath(QString::fromLatin1(RejectedScans::kFileName)));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().count('\n'), 2);

        RejectedScans nowhere("/nonexistent/folder", notify);
        notices.clear();
        nowhere.keep(QStringLiteral("B"), bad, "lost?", false);
        nowhere.keep(QStringLiteral("B"), bad, "lost again?", false);
        QCOMPARE(notices.size(), 2);  // each one, since it is in no file
        QVERIFY2(notices[1].contains(QStringLiteral("could not be kept")) &&
                     notices[1].endsWith(QStringLiteral("lost again?")),
                 qPrintable(notices[1]));
    }

    void malformedRecordsAreReadWithinTheirLength() {
        QVERIFY(!parseLiveRecord(nullptr, 30));
        std::vector<unsigned char> head(24, 0);
        QVERIFY(!parseLiveRecord(head.data(), 24));  // no room for the zero byte
        auto r = liveRecord("ABCDEF");
        r.back() = 'G';  // no zero byte: the text ends with the record
        const auto live = parseLiveRecord(r.data(), static_cast<int>(r.size()));
        QVERIFY(live);
        QCOMPARE(std::string(live->text), std::string("ABCDEFG"));
        const std::string huge(5000, 'x');
        const auto big = liveRecord(huge);
        QCOMPARE(parseLiveRecord(big.data(), static_cast<int>(big.size()))->text.size(), std::size_t{3071});
    }

    void rowDataIsCutTo250Characters() {
        const QString text(300, QLatin1Char('\t'));  // each tab shows as two characters
        QCOMPARE(RealTimeData::makeRow(text, {}, {}).data, QString(QStringLiteral("\\t")).repeated(125));
        QCOMPARE(RealTimeData::makeRow(QString(249, QLatin1Char('a')) + QStringLiteral("\\"), {}, {}).data.size(), 250);
    }

    // ---- text decoding

    void undecodableBytesAreKeptAsLatin1() {
        // UTF-8 with a stray byte, a cut sequence at the end and a valid two-byte character.
        QCOMPARE(decodeLocalText("a\xff"
                                 "b\xc3\xa9"
                                 "c\xe2\x82",
                                 "UTF-8"),
                 QStringLiteral("a\u00ffb\u00e9c\u00e2\u0082"));
        QCOMPARE(decodeLocalText("\xe9t\xe9", "ISO-8859-15"), QStringLiteral("\u00e9t\u00e9"));
        QCOMPARE(decodeLocalText("caf\xe9", "ANSI_X3.4-1968"), QStringLiteral("caf\u00e9"));
        QCOMPARE(decodeLocalText("\x80\x81", "no-such-charset"), QStringLiteral("\u0080\u0081"));
        const std::string nul("a\0b", 3);
        QCOMPARE(decodeLocalText(nul, "UTF-8").size(), 3);
    }

    // ---- deleted-data reports

    void deletedDataBoxesNeverBlockAndComeOneAtATime() {
        QWidget parent;
        DeletedDataNotifier notifier(&parent);
        RowSink rows;
        Flags flags;
        RealTimeData data(&rows, &notifier, {}, flags.inputs());
        const auto gone = liveRecord("OLD1");
        const auto gone2 = liveRecord("OLD2");
        data.onScanData(nullptr, gone.data(), static_cast<int>(gone.size()), 1);  // returns at once
        data.onScanData(nullptr, gone2.data(), static_cast<int>(gone2.size()), 1);
        const auto live = liveRecord("LIVE");
        data.onScanData(nullptr, live.data(), static_cast<int>(live.size()), 0);
        QTRY_VERIFY(notifier.openBox() != nullptr);
        QPointer<QMessageBox> first = notifier.openBox();
        QCOMPARE(first->text(), QStringLiteral("Deleted Data: 2010/03/05 14:07:09\r\nOLD1"));
        QCOMPARE(first->windowTitle(), QStringLiteral("TalvoScan"));
        QCOMPARE(notifier.waiting(), 1);
        QTRY_COMPARE(rows.rows.size(), std::size_t{1});  // the barcode behind the box is not held up
        first->button(QMessageBox::Ok)->click();
        QTRY_VERIFY(notifier.openBox() != nullptr && notifier.openBox() != first.data());
        QCOMPARE(notifier.openBox()->text(), QStringLiteral("Deleted Data: 2010/03/05 14:07:09\r\nOLD2"));
        QPointer<QMessageBox> second = notifier.openBox();
        notifier.closeAll();  // shutdown with a box open
        QTRY_VERIFY(second.isNull());
        QCOMPARE(notifier.waiting(), 0);
    }

    // ---- from the scanner

    void liveScansThroughTheSdk() {
        Harness h;
        auto& a = h.scanner(5);
        h.start();
        RowSink rows;
        Typed typed;
        Flags flags;
        QWidget boxParent;
        DeletedDataNotifier notifier(&boxParent);
        ConnectionManager* manager = h.manager.get();
        QTemporaryDir folder;
        QStringList notices;
        std::mutex noticeLock;
        RejectedScans rejected(folder.path().toStdString(), [&](const QString& text) {
            const std::lock_guard lock(noticeLock);
            notices << text;
        });
        RealTimeData data(&rows, &notifier, typed.sink(),
                          flags.inputs([manager](ScannerHandle hd) { return manager->connectedName(hd); }), &rejected);
        h.manager->setScanDataHandler(
            [&data](ScannerHandle hd, const unsigned char* r, int l, int k) { data.onScanData(hd, r, l, k); });
        h.connect(a);
        QTRY_COMPARE_WITH_TIMEOUT(h.downloadPage.count(DeviceEventKind::Connected, &a), 1, kWait);
        auto& sim = h.ports.scanner(5);
        QTRY_VERIFY_WITH_TIMEOUT(sim.state().clock[0] != 0, kWait);

        sim.sendScan("one\ttwo");
        QTRY_COMPARE_WITH_TIMEOUT(rows.rows.size(), std::size_t{1}, kWait);
        QCOMPARE(rows.rows[0].data, QStringLiteral("one\\ttwo"));
        QCOMPARE(rows.rows[0].device, QStringLiteral("ZT-550 5"));
        QCOMPARE(typed.all(), QStringList{QStringLiteral("one\ttwo")});

        sim.updateState([](zt::sim::ScannerState& s) { s.clock = {110, 12, 5, 14, 7, 9, 5}; });
        sim.sendScan("bad month");
        sim.updateState([](zt::sim::ScannerState& s) { s.clock = {110, 11, 5, 14, 7, 9, 5}; });
        sim.sendScan("deleted", /*deleted*/ true);
        sim.sendScan("after");
        QTRY_COMPARE_WITH_TIMEOUT(rows.rows.size(), std::size_t{2}, kWait);
        QCOMPARE(rows.rows[1].data, QStringLiteral("after"));
        QCOMPARE(rows.rows[1].date, QStringLiteral("2010/12/05 14:07:09"));
        QCOMPARE(typed.all().size(), 2);
        {
            const std::lock_guard lock(noticeLock);
            QCOMPARE(notices.size(), 1);
        }
        QFile file(folder.filePath(QString::fromLatin1(RejectedScans::kFileName)));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray kept = file.readAll();
        QVERIFY2(kept.endsWith("\tZT-550 5\t6e 0c 05 0e 07 09 05\tbad month\tscan\n"), kept.constData());
        QTRY_VERIFY(notifier.openBox() != nullptr);
        QPointer<QMessageBox> box = notifier.openBox();
        QCOMPARE(box->text(), QStringLiteral("Deleted Data: 2010/12/05 14:07:09\r\ndeleted"));

        // The box is still open: a disconnect and the shutdown do not wait for it.
        h.disconnect(a);
        QTRY_COMPARE_WITH_TIMEOUT(h.downloadPage.count(DeviceEventKind::Disconnected, &a), 1, kWait);
        h.manager->shutdown();
        notifier.closeAll();
        QTRY_VERIFY(box.isNull());
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    RealTimeTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "real_time_test.moc"

// The Download page against the SDK's core and simulated scanners: files, notice texts, faults, the
// real-time list and the worker's end.
#include "download_rig.h"
#include "fast_sdk.h"

#include "controls/layout_factor.h"
#include "messages/app_messages.h"
#include "pages/download/notice_texts.h"
#include "pages/download/real_time_data_list.h"
#include "pages/download/sync_check_key_filter.h"
#include "realtime/real_time_row.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>
#include <mutex>

using namespace talvo;
using namespace talvo::test;
using zt::sim::makeScannerTime;
using zt::sim::StoredRecord;

namespace {

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

int lineCount(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

void postRow(CDownloadPage* page, const QString& data) {
    postMessage(page, AppMessage::AddRealTimeRow, 0, 0,
                RealTimeRow{data, QStringLiteral("2010/03/05 14:07:09"), QStringLiteral("ZT-550 5")});
}

}  // namespace

class DownloadPageTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // Only the test of a silent scanner waits for the answers' time-outs.
        talvo::test::usePatientFastSdk();
    }

    // ---- notice texts

    void progressTexts_data() {
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("progress");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<QString>("kept");
        QTest::newRow("start") << 9 << 0 << "S\r\nZT   Wait.."
                               << "";
        QTest::newRow("7 of 9") << 9 << 7 << "S\r\nZT       77%"
                                << "";
        QTest::newRow("1 of 3") << 3 << 1 << "S\r\nZT       33%"
                                << "";
        QTest::newRow("done") << 9 << 9 << "S\r\nZT    Done!"
                              << "\r\nZT    Done!";
        QTest::newRow("fail") << 0 << -1 << "S\r\nZT    Fail!"
                              << "\r\nZT    Fail!";
        QTest::newRow("above total") << 9 << 10 << ""
                                     << "";
        QTest::newRow("no total") << 0 << 0 << "S\r\nZT   Wait.."
                                  << "";
        QTest::newRow("large") << 2000000000 << 1999999999 << "S\r\nZT       99%"
                               << "";
    }
    void progressTexts() {
        QFETCH(int, total);
        QFETCH(int, progress);
        QFETCH(QString, notice);
        QFETCH(QString, kept);
        const auto u = download::progressNotice(QStringLiteral("S"), QStringLiteral("ZT"), total, progress);
        QCOMPARE(u.notice, notice);
        QVERIFY(!u.notice.isNull());
        QCOMPARE(u.statusTail, kept);
        QCOMPARE(download::noDataNotice(QStringLiteral("S"), QStringLiteral("ZT")).notice,
                 QStringLiteral("S\r\nZT No Data!"));
    }

    // ---- downloads

    void refusedDownloadStillGetsItsLine() {
        // A scanner whose handle is gone by its turn: the SDK refuses at once, without a progress call.
        QStringList texts;
        std::mutex mutex;
        std::atomic<bool> done{false};
        download::DownloadWorker worker({[&](const QString& t) {
                                             std::lock_guard lock(mutex);
                                             texts.append(t);
                                         },
                                         {},
                                         [&] { done = true; }},
                                        std::chrono::milliseconds(1));
        QTemporaryDir folder;
        DeviceRecord gone(9, L"ZT-550 9");
        download::DownloadJob job{{{&gone, QStringLiteral("ZT-550 9"), "ZT-550 9_ScanData.txt"}},
                                  folder.path().toStdString(),
                                  zt::scandata::LineForm::WithTime};
        QVERIFY(worker.start(std::move(job)));
        QVERIFY(!worker.start({}));  // one download at a time
        QTRY_VERIFY(done.load());
        std::lock_guard lock(mutex);
        QCOMPARE(texts,
                 (QStringList{QStringLiteral("Downloading..."), QStringLiteral("Downloading...\r\nZT-550 9    Fail!"),
                              QStringLiteral("Download\r\nCompleted!")}));
        QVERIFY(QDir(folder.path()).isEmpty());
    }

    void noScannerChangesNothing() {
        DownloadRig rig;
        rig.page->start();
        QVERIFY(rig.page->startButton()->isEnabled());
        QVERIFY(!rig.page->downloading());
        QCoreApplication::processEvents();
        QVERIFY(rig.notices.texts.isEmpty());
        QVERIFY(rig.folderEntries().empty());
    }

    void downloadWritesOneFilePerScannerTwiceInARow() {
        DownloadRig rig;
        auto& a = rig.scanner(5, L"ZT-550 5");
        auto& b = rig.scanner(6, L"ZT-550 6");
        rig.sim(5).addRecords({StoredRecord{0, makeScannerTime(2010, 12, 17, 14, 3, 9), -0.5, 12.5, "ABC123"},
                               StoredRecord{0, makeScannerTime(2010, 5, 17, 14, 3, 9), 0, 1e6, "a\tb\r\n\xe9"}});
        writeFile(rig.dataDir / "ZT-550 6_ScanData.txt", "an earlier download\r\n");
        QVERIFY(rig.connect({&b, &a}));  // the newest connected comes first
        QVERIFY(rig.download());
        QCOMPARE(rig.file("ZT-550 5_ScanData.txt"),
                 std::string("     1 2010/12/17 14:03:09 -0.5000 12.5000 ABC123\r\n"
                             "     2 2010/05/17 14:03:09 0.0000 1000000.0000 a\tb\r\n\xe9\r\n"));
        QCOMPARE(rig.file("ZT-550 6_ScanData.txt"), std::string());  // no data: an empty file
        QCOMPARE(rig.notices.texts.front(), QStringLiteral("Downloading..."));
        QVERIFY(rig.notices.texts.contains(QStringLiteral("Downloading...\r\nZT-550 5   Wait..")));
        QCOMPARE(rig.lastStatus(), QStringLiteral("Downloading...\r\nZT-550 5    Done!\r\nZT-550 6 No Data!"));
        QCOMPARE(rig.notices.texts.back(), QStringLiteral("Download\r\nCompleted!"));

        // Again, without the time: each file is replaced, nothing accumulates.
        rig.page->setTimeStampOfDownData(0);
        rig.sim(6).fillRecords(3);
        rig.notices.texts.clear();
        QVERIFY(rig.download());
        QCOMPARE(rig.file("ZT-550 5_ScanData.txt"),
                 std::string("     1 -0.5000 12.5000 ABC123\r\n     2 0.0000 1000000.0000 a\tb\r\n\xe9\r\n"));
        QCOMPARE(lineCount(rig.file("ZT-550 6_ScanData.txt")), 3);
        QCOMPARE(rig.lastStatus(), QStringLiteral("Downloading...\r\nZT-550 5    Done!\r\nZT-550 6    Done!"));
        QCOMPARE(rig.folderEntries(), (std::vector<std::string>{"ZT-550 5_ScanData.txt", "ZT-550 6_ScanData.txt"}));
        QCOMPARE(rig.sim(5).recordCount(), std::size_t{2});  // the records stay in the scanner
    }

    void failedDownloadKeepsTheEarlierFile() {
        DownloadRig rig;
        auto& a = rig.scanner(5, L"ZT-550 5");
        rig.sim(5).fillRecords(5);
        writeFile(rig.dataDir / "ZT-550 5_ScanData.txt", "the only copy\r\n");
        QVERIFY(rig.connect({&a}));
        rig.sim(5).failCollectAfter(2);
        QVERIFY(rig.download());
        QCOMPARE(rig.lastStatus(), QStringLiteral("Downloading...\r\nZT-550 5    Fail!"));
        QCOMPARE(rig.file("ZT-550 5_ScanData.txt"), std::string("the only copy\r\n"));
        QCOMPARE(rig.folderEntries(), std::vector<std::string>{"ZT-550 5_ScanData.txt"});  // no temporary left
    }

    void scannerThatHangsUpFailsAndTheNextStillDownloads() {
        DownloadRig rig;
        auto& a = rig.scanner(5, L"ZT-550 5");
        auto& b = rig.scanner(6, L"ZT-550 6");
        rig.sim(5).fillRecords(300);
        rig.sim(5).setBaud(115200);
        rig.sim(6).fillRecords(2);
        writeFile(rig.dataDir / "ZT-550 5_ScanData.txt", "earlier\r\n");
        QVERIFY(rig.connect({&b, &a}));
        bool hungUp = false;
        rig.notices.onText = [&](const QString& text) {
            if (!hungUp && text.endsWith(QLatin1Char('%')) && text.contains(QStringLiteral("ZT-550 5"))) {
                hungUp = true;
                rig.sim(5).hangUp();
            }
        };
        QVERIFY(rig.download());
        QVERIFY(hungUp);
        QCOMPARE(rig.lastStatus(), QStringLiteral("Downloading...\r\nZT-550 5    Fail!\r\nZT-550 6    Done!"));
        // The loss closed the handle: the records received cannot be fetched, so the earlier file
        // (here: none) is not replaced by an empty or partial one.
        QCOMPARE(rig.file("ZT-550 5_ScanData.txt"), std::string("earlier\r\n"));
        QCOMPARE(lineCount(rig.file("ZT-550 6_ScanData.txt")), 2);
    }

    void namesStayInTheFolderAndTwinsKeepTheirFiles() {
        DownloadRig rig;
        auto& up = rig.scanner(5, L"../up/x");
        auto& t1 = rig.scanner(6, L"ZT twin");
        auto& t2 = rig.scanner(7, L"ZT twin");
        for (int port : {5, 6, 7}) rig.sim(port).fillRecords(port - 4);
        QVERIFY(rig.connect({&t2, &t1, &up}));
        QVERIFY(rig.download());
        QCOMPARE(rig.folderEntries(), (std::vector<std::string>{".._up_x_ScanData.txt", "ZT twin (COM6)_ScanData.txt",
                                                                "ZT twin (COM7)_ScanData.txt"}));
        QCOMPARE(lineCount(rig.file("ZT twin (COM6)_ScanData.txt")), 2);
        QCOMPARE(lineCount(rig.file("ZT twin (COM7)_ScanData.txt")), 3);
        QVERIFY(!std::filesystem::exists(rig.dataDir.parent_path() / "up"));
    }

    void unusableFolderIsReportedAndNothingChanges() {
        DownloadRig rig;
        auto& a = rig.scanner(5, L"ZT-550 5");
        rig.sim(5).fillRecords(2);
        QVERIFY(rig.connect({&a}));
        writeFile(rig.dataDir / "plain-file", "");
        for (const auto& folder : {rig.dataDir / "missing", rig.dataDir / "plain-file" / "sub"}) {
            rig.notices.texts.clear();
            rig.page->setDataFolder(QString::fromStdString(folder.string()));
            QVERIFY(rig.download());
            QCOMPARE(rig.notices.texts.back(), download::folderUnusableNotice(QString::fromStdString(folder.string())));
            QVERIFY(!rig.notices.texts.contains(QStringLiteral("Download\r\nCompleted!")));
        }
        QCOMPARE(rig.folderEntries(), std::vector<std::string>{"plain-file"});
        QVERIFY(!std::filesystem::exists(rig.dataDir / "missing"));
    }

    void longestBarcodeIsWrittenWhole() {
        DownloadRig rig;
        auto& a = rig.scanner(5, L"ZT-550 5");
        const std::string text(3071, 'L');
        rig.sim(5).addRecords({StoredRecord{0, makeScannerTime(2010, 5, 17, 14, 3, 9), 0, 0, text}});
        QVERIFY(rig.connect({&a}));
        QVERIFY(rig.download());
        QCOMPARE(rig.file("ZT-550 5_ScanData.txt"), "     1 2010/05/17 14:03:09 0.0000 0.0000 " + text + "\r\n");
    }

    void liveScansArriveWhileADownloadRuns() {
        DownloadRig rig;
        auto& a = rig.scanner(5, L"ZT-550 5");
        auto& b = rig.scanner(6, L"ZT-550 6");
        rig.sim(5).fillRecords(300);
        rig.sim(5).setBaud(115200);
        QVERIFY(rig.connect({&b, &a}));
        rig.page->syncCheck()->setChecked(true);
        std::vector<std::pair<QString, bool>> rows;  // text, downloading when it arrived
        rig.manager->setScanDataHandler([&rig](ScannerHandle, const unsigned char* r, int l, int) {
            const QString text = QString::fromLatin1(reinterpret_cast<const char*>(r + 24), l - 25);
            postRow(rig.page, text);
        });
        int duringDownload = 0;
        QObject::connect(rig.page->realTimeList()->model(), &QAbstractItemModel::rowsInserted, rig.page,
                         [&] { duringDownload += rig.page->downloading() ? 1 : 0; });
        rig.notices.onText = [&](const QString& text) {
            if (text.endsWith(QStringLiteral("ZT-550 5   Wait..")))  // the long transfer has begun
                for (int i = 0; i < 5; ++i) rig.sim(6).sendScan(("LIVE" + std::to_string(i)).c_str());
        };
        QSignalSpy finished(rig.page, &CDownloadPage::downloadFinished);
        rig.page->start();
        QTRY_COMPARE_WITH_TIMEOUT(rig.page->realTimeList()->rowTotal(), 5, 10000);
        QVERIFY(finished.wait(20000));
        QVERIFY(duringDownload > 0);
        QCOMPARE(rig.page->realTimeList()->rowAt(0)->data, QStringLiteral("LIVE4"));
        QCOMPARE(rig.page->realTimeList()->rowAt(4)->data, QStringLiteral("LIVE0"));
        QCOMPARE(lineCount(rig.file("ZT-550 5_ScanData.txt")), 300);
    }

    void shutdownDuringADownloadEndsTheWorker() {
        auto rig = std::make_unique<DownloadRig>();
        auto& a = rig->scanner(5, L"ZT-550 5");
        rig->sim(5).fillRecords(2000);
        rig->sim(5).setBaud(115200);
        QVERIFY(rig->connect({&a}));
        rig->page->start();
        QTRY_VERIFY_WITH_TIMEOUT(rig->notices.texts.size() >= 3, 5000);
        QElapsedTimer timer;
        timer.start();
        rig->manager->shutdown();  // cuts the transfer short
        rig->page->shutdown();
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(rig->page->notice()->isHidden());
        for (const auto& name : rig->folderEntries()) QVERIFY2(name.front() != '.', name.c_str());  // no temporary left
    }

    void completionWaitsHoldTheNoticeAndStopWakesThem() {
        DownloadRig rig(std::chrono::milliseconds(300));
        auto& a = rig.scanner(5, L"ZT-550 5");
        QVERIFY(rig.connect({&a}));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(rig.download());
        QVERIFY2(timer.elapsed() >= 600,
                 qPrintable(QString::number(timer.elapsed())));  // before and after "Completed!"
        rig.page->start();
        QTRY_VERIFY(!rig.page->notice()->isHidden());
        timer.restart();
        rig.page->shutdown();  // wakes the worker out of its wait
        QVERIFY2(timer.elapsed() < 250, qPrintable(QString::number(timer.elapsed())));
    }

    // ---- the real-time list

    void realTimeListKeepsTheNewest100WhileTicked() {
        DownloadRig rig;
        postRow(rig.page, QStringLiteral("discarded"));
        QCoreApplication::sendPostedEvents(rig.page);
        QCOMPARE(rig.page->realTimeList()->rowTotal(), 0);
        rig.page->syncCheck()->setChecked(true);
        QCoreApplication::sendPostedEvents(rig.page);
        QCOMPARE(rig.page->realTimeList()->rowTotal(), 0);  // never appears later
        for (int i = 1; i <= 101; ++i) postRow(rig.page, QString::number(i));
        QCoreApplication::sendPostedEvents(rig.page);
        auto* list = rig.page->realTimeList();
        QCOMPARE(list->rowTotal(), 100);
        QCOMPARE(list->rowAt(0)->data, QStringLiteral("101"));
        QCOMPARE(list->rowAt(99)->data, QStringLiteral("2"));
        const auto* model = list->model();
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Data"));
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Date"));
        QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Device"));
        QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("2010/03/05 14:07:09"));
        rig.page->syncCheck()->setChecked(false);  // unticking keeps the rows
        QCOMPARE(list->rowTotal(), 100);
        rig.page->resetButton()->click();
        QCOMPARE(list->rowTotal(), 0);
    }

    void layoutScalesWithTheFactor() {
        setLayoutFactorOverride(2);
        DownloadRig rig;
        rig.page->resize(600, 500);
        rig.sheet.show();
        QTRY_COMPARE(rig.page->notice()->geometry(), rig.page->rect().adjusted(40, 40, -40, -40));
        auto* list = rig.page->realTimeList();
        // "Device" 80 and "Date" at least 60 layout units; "Data" the rest less a slack of 2 units, which
        // the stretching last column takes up.
        const int device = list->columnWidth(CRealTimeDataList::DeviceColumn);
        const int date = list->columnWidth(CRealTimeDataList::DateColumn);
        const int data = list->columnWidth(CRealTimeDataList::DataColumn);
        QVERIFY2(device >= 160 && device <= 164, qPrintable(QString::number(device)));
        QVERIFY(date >= 120);
        QCOMPARE(data, list->viewport()->width() - date - 160 - 4);
        setLayoutFactorOverride(0);
    }

    void aTurnedScreenLaysThePageOutAgain() {
        DownloadRig rig;
        rig.page->resize(600, 500);
        rig.sheet.show();
        const QRect placed = rig.page->rect().adjusted(20, 20, -20, -20);
        QTRY_COMPARE(rig.page->notice()->geometry(), placed);
        rig.page->notice()->setGeometry(0, 0, 1, 1);
        QScreen* screen = rig.page->screen();
        const auto turned =
            screen->orientation() == Qt::PortraitOrientation ? Qt::LandscapeOrientation : Qt::PortraitOrientation;
        emit screen->orientationChanged(turned);
        QCOMPARE(rig.page->notice()->geometry(), placed);
    }

    void typedCharactersDoNotToggleTheSyncBox() {
        DownloadRig rig;
        rig.sheet.show();
        QCheckBox* box = rig.page->syncCheck();
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Space);
        QTest::keyClick(box, Qt::Key_A);
        QVERIFY(!box->isChecked());
        for (int key : {Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down, Qt::Key_F4, Qt::Key_Return,
                        Qt::Key_Enter, Qt::Key_Select})
            QVERIFY(SyncCheckKeyFilter::passes(key, Qt::Key_Select));
        QVERIFY(!SyncCheckKeyFilter::passes(Qt::Key_Space, Qt::Key_Select));
        QVERIFY(SyncCheckKeyFilter::passes(Qt::Key_F9, Qt::Key_F9));
        box->click();  // the pointer still works
        QVERIFY(box->isChecked());
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    DownloadPageTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "download_page_test.moc"

// The Download page and the live barcodes inside the main sheet, with the shipped SDK and its shipped
// waits: a live scan reaches the list and the typing hand-over, Start downloads every connected
// scanner into the data folder, and the orderly end does not wait for an open deleted-data box.
#include "connection/connection_manager.h"
#include "messages/message_box.h"
#include "pages/connect/connect_page.h"
#include "pages/download/download_page.h"
#include "pages/download/real_time_data_list.h"
#include "realtime/deleted_data_notifier.h"
#include "realtime/real_time_data.h"
#include "shell/main_sheet_dlg.h"

#include "support/sheet_rig.h"
#include "zt/sim/simulator.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <mutex>

namespace {

constexpr int kConnectMs = 20000;
const std::vector<int> kPorts{5, 6};

}  // namespace

class SheetDownloadTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<zt::sim::Simulator> sim_;

    void connectAll(CMainSheetDlg& sheet) {
        auto* view = sheet.connectPage()->findChild<QAbstractItemView*>();
        QTRY_COMPARE(view->model()->rowCount(), int(kPorts.size()));
        for (int row = 0; row < view->model()->rowCount(); ++row)
            view->model()->setData(view->model()->index(row, 0), Qt::Checked, Qt::CheckStateRole);
        talvo::test::findNamed<QPushButton>(sheet.connectPage(), QStringLiteral("Connect"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(int(sheet.connectionManager()->connected().size()), int(kPorts.size()), kConnectMs);
        for (int port : kPorts) QTRY_VERIFY_WITH_TIMEOUT(sim_->scanner(port).state().clock[0] != 0, kConnectMs);
    }

private slots:
    void init() {
        QFile::remove(QSettings(QStringLiteral("TalvoScan"), QStringLiteral("TalvoScan")).fileName());
        talvo::MessageBox::clearAnswers();
        QVERIFY(talvo::test::writeScannerRegistry(qEnvironmentVariable("ZT_REGISTRY"), kPorts));
        sim_ = std::make_unique<zt::sim::Simulator>(qEnvironmentVariable("ZT_PORT_DIR").toStdString());
        for (int port : kPorts) sim_->addScanner(port);
    }
    void cleanup() { sim_.reset(); }

    void liveScansDownloadsAndTheEndWithABoxOpen() {
        QTemporaryDir data;
        CMainSheetDlg sheet;
        sheet.show();
        CDownloadPage* page = sheet.downloadPage();
        page->setDataFolder(data.path());
        std::mutex mutex;
        QStringList typed;
        sheet.realTimeData()->setTypeBarcode([&](const QString& text) {
            std::lock_guard lock(mutex);
            typed.append(text);
        });
        connectAll(sheet);
        sheet.tabs()->setCurrentIndex(CMainSheetDlg::DownloadTab);
        page->syncCheck()->setChecked(true);

        sim_->scanner(5).sendScan("a\tb");
        QTRY_COMPARE_WITH_TIMEOUT(page->realTimeList()->rowTotal(), 1, 5000);
        QCOMPARE(page->realTimeList()->rowAt(0)->data, QStringLiteral("a\\tb"));
        QCOMPARE(page->realTimeList()->rowAt(0)->device, QStringLiteral("ZT-550 00005"));
        {
            std::lock_guard lock(mutex);
            QCOMPARE(typed, QStringList{QStringLiteral("a\tb")});  // "RealTime" is on by default
        }

        sim_->scanner(5).fillRecords(3);
        QSignalSpy finished(page, &CDownloadPage::downloadFinished);
        page->startButton()->click();
        QVERIFY(!page->startButton()->isEnabled());
        QVERIFY(finished.wait(20000));  // with the shipped 1000 ms waits around "Completed!"
        QCOMPARE(QDir(data.path()).entryList(QDir::Files), (QStringList{QStringLiteral("ZT-550 00005_ScanData.txt"),
                                                                        QStringLiteral("ZT-550 00006_ScanData.txt")}));
        QFile five(QDir(data.path()).filePath(QStringLiteral("ZT-550 00005_ScanData.txt")));
        QVERIFY(five.open(QIODevice::ReadOnly));
        QCOMPARE(five.readAll().count('\n'), 3);

        sim_->scanner(6).sendScan("gone", /*deleted*/ true);
        QTRY_VERIFY_WITH_TIMEOUT(sheet.deletedDataNotifier()->openBox() != nullptr, 5000);
        QPointer<QMessageBox> box = sheet.deletedDataNotifier()->openBox();
        QVERIFY(box->text().startsWith(QStringLiteral("Deleted Data: ")));
        sim_->scanner(6).sendScan("behind the box");
        QTRY_COMPARE_WITH_TIMEOUT(page->realTimeList()->rowTotal(), 2, 5000);

        QElapsedTimer timer;
        timer.start();
        sheet.shutdown();
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        QTRY_VERIFY(box.isNull());
    }
};

QTEST_MAIN(SheetDownloadTest)
#include "sheet_download_test.moc"

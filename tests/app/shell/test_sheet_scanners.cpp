// The main sheet with simulated scanners, driven through its widgets as a user would: the clock a
// connecting scanner gets from "Hands On" (a typed time, or this machine's clock for a text that is not
// fourteen digits), and the orderly end while scanners are connected.
#include "pages/connect/connect_page.h"
#include "pages/setting/setting_page.h"
#include "shell/main_sheet_dlg.h"

#include "support/sheet_rig.h"
#include "zt/sim/simulator.h"

#include <QAbstractItemView>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr int kConnectMs = 20000;
const std::vector<int> kPorts{5, 6};

using talvo::test::findNamed;

int connectedRows(QAbstractItemView* view) {
    int connected = 0;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        if (view->model()->index(row, 1).data().toString() == QLatin1String("Connected")) ++connected;
    return connected;
}

}  // namespace

class TestSheetScanners : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<zt::sim::Simulator> sim_;

    // Ticks every row of the Connect page, presses "Connect" and waits until all read "Connected".
    void connectAll(CMainSheetDlg& sheet) {
        sheet.tabs()->setCurrentIndex(CMainSheetDlg::ConnectTab);
        auto* view = sheet.connectPage()->findChild<QAbstractItemView*>();
        QTRY_COMPARE(view->model()->rowCount(), int(kPorts.size()));
        for (int row = 0; row < view->model()->rowCount(); ++row)
            view->model()->setData(view->model()->index(row, 0), Qt::Checked, Qt::CheckStateRole);
        findNamed<QPushButton>(sheet.connectPage(), QStringLiteral("Connect"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(connectedRows(view), int(kPorts.size()), kConnectMs);
    }

    void chooseHandsOn(CMainSheetDlg& sheet, const QString& text) {
        QWidget* page = sheet.settingPage();
        findNamed<QRadioButton>(page, QStringLiteral("Hands On"))->click();
        findNamed<QLineEdit>(page, QStringLiteral("Time Setting"))->setText(text);
        QTRY_VERIFY(!sheet.settings().timeSync());
    }

private slots:
    void init() {
        QFile::remove(QSettings(QStringLiteral("TalvoScan"), QStringLiteral("TalvoScan")).fileName());
        QVERIFY(talvo::test::writeScannerRegistry(qEnvironmentVariable("ZT_REGISTRY"), kPorts));
        sim_ = std::make_unique<zt::sim::Simulator>(qEnvironmentVariable("ZT_PORT_DIR").toStdString());
        for (int port : kPorts) sim_->addScanner(port);
    }
    void cleanup() { sim_.reset(); }

    void handsOnSetsTheTypedTimeWithTodaysWeekday() {
        CMainSheetDlg sheet;
        sheet.show();
        chooseHandsOn(sheet, QStringLiteral("20091231235959"));
        connectAll(sheet);
        const auto weekday = static_cast<std::uint8_t>(QDate::currentDate().dayOfWeek() % 7);
        const zt::sim::ScannerTime expected{109, 11, 31, 23, 59, 59, weekday};
        for (int port : kPorts) QTRY_COMPARE(sim_->scanner(port).state().clock, expected);
        sheet.shutdown();
    }

    void handsOnWithThirteenDigitsSetsThisMachinesClock() {
        CMainSheetDlg sheet;
        sheet.show();
        chooseHandsOn(sheet, QStringLiteral("2009123123595"));
        connectAll(sheet);
        const auto thisYear = static_cast<std::uint8_t>(QDate::currentDate().year() - 1900);
        for (int port : kPorts) QTRY_COMPARE(sim_->scanner(port).state().clock[0], thisYear);
        sheet.shutdown();
    }

    void theScreenshotTourConnectsEveryScannerAndSavesEveryPage() {
        QTemporaryDir work;
        const QString shots = work.filePath(QStringLiteral("shots"));
        QProcess program;
        program.setWorkingDirectory(work.path());
        program.start(qEnvironmentVariable("TALVOSCAN"),
                      {QStringLiteral("--screenshot-tour"), shots, QStringLiteral("--data-dir"),
                       work.filePath(QStringLiteral("data"))});
        QVERIFY(program.waitForFinished(kConnectMs * 2));
        const QString output = QString::fromLocal8Bit(program.readAllStandardOutput());
        QCOMPARE(program.exitCode(), 0);
        QVERIFY2(output.contains(QLatin1String("tour: 2 of 2 scanners connected")), qPrintable(output));
        // The five pages of the main sheet, then the five tabs of the device settings sheet.
        const QStringList pages{
            "01-Connect.png",       "02-Download.png",      "03-Setting.png",         "04-Configure.png",
            "05-About.png",         "sheet-01-General.png", "sheet-02-Symbology.png", "sheet-03-Prefix-Suffix.png",
            "sheet-04-Trigger.png", "sheet-05-System.png"};
        QCOMPARE(QDir(shots).entryList(QDir::Files), pages);
        for (const QString& page : pages) {
            const QImage image(QDir(shots).filePath(page));
            QVERIFY2(!image.isNull() && image.width() > 200 && image.height() > 200, qPrintable(page));
        }
        // The program ended in order: its ports are free for the next connection.
        CMainSheetDlg sheet;
        sheet.show();
        connectAll(sheet);
    }

    void theOrderlyEndWithScannersConnectedClosesThemAndWritesTheSettings() {
        CMainSheetDlg sheet;
        sheet.show();
        connectAll(sheet);
        sheet.shutdown();
        QVERIFY(sheet.connectionManager() == nullptr);
        QVERIFY(QFile::exists(QSettings(QStringLiteral("TalvoScan"), QStringLiteral("TalvoScan")).fileName()));
        // The ports are free again: a new sheet connects the same scanners.
        CMainSheetDlg again;
        again.show();
        connectAll(again);
    }
};

QTEST_MAIN(TestSheetScanners)
#include "test_sheet_scanners.moc"

// The Configure page, the settings sheet and its General page against simulated scanners.
#include "config_fixture.h"
#include "connection/device_state.h"
#include "controls/gradient_progress_ctrl.h"
#include "controls/list_ctrl_ext.h"
#include "controls/notice_dlg.h"
#include "controls/spin_arrows.h"
#include "messages/app_messages.h"
#include "messages/message_box.h"
#include "pages/configure/configure_page.h"
#include "pages/configure/configure_worker.h"
#include "pages/configure/sheet/config_tab_page.h"
#include "pages/configure/sheet/general_page.h"
#include "pages/configure/sheet/setting_sheet_dlg.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

using talvo::AppMessage;
using talvo::MessageBox;
using talvo::config::CGeneralPage;
using talvo::config::test::ConnectedSource;
using talvo::config::test::Scanners;

namespace {

constexpr int kReadWait = 10000;

}  // namespace

class TestSettingSheet : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Scanners> scanners_;
    std::unique_ptr<QWidget> mainWindow_;
    ConnectedSource source_;
    CConfigurePage* page_ = nullptr;

    [[nodiscard]] CSettingSheetDlg* sheet() const { return page_->settingSheet(); }
    [[nodiscard]] CGeneralPage* general() const {
        return qobject_cast<CGeneralPage*>(sheet()->page(CSettingSheetDlg::GeneralTab));
    }
    // Opens the sheet through the page for the scanners `which`, all shown as ticked rows.
    void openFor(std::initializer_list<int> which) {
        source_.records = scanners_->records(which);
        page_->rows()->clearRows();
        for (DeviceRecord* record : source_.records) {
            page_->rows()->addRow(page_->rows()->size(), std::make_unique<CConfigurePage::Row>(
                                                             CConfigurePage::Row{record->port, record->name}));
            page_->rows()->setChecked(page_->rows()->size() - 1, true);
        }
        QCOMPARE(page_->configureSelected(), static_cast<int>(which.size()));
        QVERIFY(sheet()->isVisible());
    }
    void waitIdle(talvo::config::ConfigTabPage* tab) { QTRY_VERIFY_WITH_TIMEOUT(!tab->busy(), kReadWait); }
    void confirm() {
        sheet()->okButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(!page_->settingsSheetOpen(), kReadWait);
        QTRY_COMPARE_WITH_TIMEOUT(page_->worker().pendingJobs(), 0, kReadWait);
    }

private slots:
    void initTestCase() {
        scanners_ = std::make_unique<Scanners>(std::vector<int>{31, 32, 33});
        QVERIFY(scanners_->opened());
    }
    void init() {
        MessageBox::clearAnswers();
        mainWindow_ = std::make_unique<QWidget>();
        page_ = new CConfigurePage(mainWindow_.get());
        page_->setConnectedSource(&source_);
        mainWindow_->show();
        for (int i = 0; i < 3; ++i) {
            scanners_->sim(i).updateState([](zt::sim::ScannerState& s) {
                s.buzzer = 1;
                s.connectBeepDelay = 150;
                s.disconnectBeepDelay = 250;
            });
        }
    }
    void cleanup() {
        mainWindow_.reset();
        page_ = nullptr;
    }
    void cleanupTestCase() { scanners_.reset(); }

    void oneScannerIsRead() {
        scanners_->sim(0).updateState([](zt::sim::ScannerState& s) {
            s.batteryLevel = 1;
            s.storage = 45;
            s.imageVersion = {'1', '2'};
            s.serial = "AB12cd";
        });
        openFor({0});
        QCOMPARE(sheet()->windowTitle(), QStringLiteral("TalvoScan"));
        QCOMPARE(sheet()->tabs()->count(), 5);
        QCOMPARE(sheet()->tabs()->tabText(CSettingSheetDlg::PrefixSuffixTab), QStringLiteral("Prefix/Suffix"));
        CGeneralPage* page = general();
        QVERIFY(page->busy());
        QCOMPARE(page->busyText(), QStringLiteral("Reading..."));
        QVERIFY(!page->content()->isEnabled());
        waitIdle(page);
        QVERIFY(page->content()->isEnabled());
        QCOMPARE(page->volumeList()->currentText(), QStringLiteral("Low"));
        QCOMPARE(page->connectField()->text(), QStringLiteral("150"));
        QCOMPARE(page->connectSpin()->position(), 150);
        QCOMPARE(page->disconnectField()->text(), QStringLiteral("250"));
        QCOMPARE(page->batteryBar()->position(), 2);
        QCOMPARE(page->storageBar()->position(), 45);
        QCOMPARE(page->versionValue()->text(), QStringLiteral("ZT550 Ver. 1.2"));
        QCOMPARE(page->serialValue()->text(), QStringLiteral("S/N AB12cd"));
        // A screen reader announces what the labels show now, not the texts they were built with.
        for (QLabel* label : {page->versionValue(), page->serialValue()}) {
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(label);
            QVERIFY(iface != nullptr);
            QCOMPARE(iface->text(QAccessible::Name), label->text());
        }
        QVERIFY(page->versionValue()->isEnabled());
        QCOMPARE(page->applyBox()->text(), QStringLiteral("Configure this tab"));
        QVERIFY(!page->applyBox()->isChecked());
        // Every page with an apply box shows it once its tab is shown (it is made after the page is).
        for (int tab = CSettingSheetDlg::GeneralTab; tab < CSettingSheetDlg::SystemTab; ++tab) {
            sheet()->tabs()->setCurrentIndex(tab);
            QVERIFY2(sheet()->page(tab)->applyBox()->isVisible(), qPrintable(sheet()->tabs()->tabText(tab)));
            QVERIFY(sheet()->page(tab)->applyBox()->isEnabled() || sheet()->page(tab)->busy());
        }
        // The five tabs fit side by side: the bar needs no scroll buttons.
        QVERIFY(sheet()->tabs()->tabBar()->width() >= sheet()->tabs()->tabBar()->sizeHint().width());
        sheet()->reject();
    }

    // The SDK itself passes only letters and digits; the page keeps only those of whatever it gets.
    void serialTextKeepsLettersAndDigits() {
        const char serial[] = "00:1A-7D\0XY";
        QCOMPARE(talvo::config::serialText(serial, sizeof serial), QStringLiteral("S/N 001A7D"));
        const char full[4] = {'a', 'b', 'c', 'd'};  // no terminating zero within the area
        QCOMPARE(talvo::config::serialText(full, sizeof full), QStringLiteral("S/N abcd"));
    }

    void twoScannersShowDefaultsAndWriteThemToBoth() {
        openFor({0, 1});
        CGeneralPage* page = general();
        QVERIFY(!page->busy());  // nothing to read
        QCOMPARE(page->volumeList()->currentText(), QStringLiteral("High"));
        QCOMPARE(page->connectField()->text(), QStringLiteral("200"));
        QCOMPARE(page->disconnectField()->text(), QStringLiteral("400"));
        QVERIFY(!page->versionValue()->isEnabled());
        QVERIFY(!page->storageBar()->isEnabled());
        QVERIFY(page->volumeList()->isEnabled());
        page->applyBox()->setChecked(true);
        confirm();
        for (int i : {0, 1}) {
            const auto state = scanners_->sim(i).state();
            QCOMPARE(state.buzzer, 3);
            QCOMPARE(state.connectBeepDelay, 200u);
            QCOMPARE(state.disconnectBeepDelay, 400u);
        }
        QCOMPARE(scanners_->sim(2).state().buzzer, 1);  // not in the sheet
    }

    void untickedApplyWritesNothing() {
        openFor({0, 1});
        general()->connectField()->setText(QStringLiteral("abc"));
        scanners_->clearFrames();
        MessageBox::queueAnswer(QMessageBox::Ok);
        confirm();
        // The typed values are still taken (and a bad one named), but nothing is written.
        QCOMPARE(MessageBox::shownTexts(), QStringList{QStringLiteral("Please enter an integer.")});
        QCOMPARE(scanners_->frameCount(), 0u);
    }

    // The SDK reads a volume above 3 as 0; a volume that cannot be read leaves the list without a
    // selection, which OK writes as 3.
    void unreadVolumeIsWrittenAsHigh() {
        scanners_->sim(0).refuse(1);  // the first read is the volume
        openFor({0});
        waitIdle(general());
        QCOMPARE(general()->volumeList()->currentIndex(), -1);
        general()->applyBox()->setChecked(true);
        confirm();
        QCOMPARE(scanners_->sim(0).state().buzzer, 3);
    }

    // A delay without a whole number is reported and keeps the value read, as does the field after it;
    // one above 3000 goes to the SDK, which refuses it.
    void typedDelays() {
        openFor({0});
        waitIdle(general());
        general()->applyBox()->setChecked(true);
        general()->connectField()->setText(QStringLiteral("12x"));
        general()->disconnectField()->setText(QStringLiteral("300"));
        general()->volumeList()->setCurrentText(QStringLiteral("Off"));
        MessageBox::queueAnswer(QMessageBox::Ok);
        confirm();
        QCOMPARE(MessageBox::shownTexts(), QStringList{QStringLiteral("Please enter an integer.")});
        auto state = scanners_->sim(0).state();
        QCOMPARE(state.buzzer, 0);
        QCOMPARE(state.connectBeepDelay, 150u);
        QCOMPARE(state.disconnectBeepDelay, 250u);

        openFor({0});
        waitIdle(general());
        general()->applyBox()->setChecked(true);
        general()->connectField()->setText(QStringLiteral("12000"));
        general()->disconnectField()->setText(QStringLiteral("3000"));
        scanners_->clearFrames();
        confirm();
        QVERIFY(MessageBox::shownTexts().size() == 1);
        state = scanners_->sim(0).state();
        QCOMPARE(state.connectBeepDelay, 150u);  // refused
        QCOMPARE(state.disconnectBeepDelay, 3000u);
        QVERIFY(scanners_->frameCount() >= 2);  // the refused value was not kept back
    }

    // A negative delay reaches the SDK, which refuses it without sending anything; one beyond the
    // integers is no whole number: named once, and it keeps the value read. Neither is written.
    void negativeAndHugeDelays() {
        openFor({0});
        waitIdle(general());
        general()->applyBox()->setChecked(true);
        general()->connectField()->setText(QStringLiteral("-5"));
        general()->disconnectField()->setText(QStringLiteral("99999999999"));
        scanners_->clearFrames();
        MessageBox::queueAnswer(QMessageBox::Ok);
        confirm();
        QCOMPARE(MessageBox::shownTexts(), QStringList{QStringLiteral("Please enter an integer.")});
        const auto state = scanners_->sim(0).state();
        QCOMPARE(state.buzzer, 1);
        QCOMPARE(state.connectBeepDelay, 150u);
        QCOMPARE(state.disconnectBeepDelay, 250u);
        // The volume and the disconnect delay as read; the refused connect delay never left the SDK.
        QCOMPARE(scanners_->requestCodes(0),
                 (std::vector<int>{int(zt::wire::Command::Buzzer), int(zt::wire::Command::Config)}));
    }

    void spinArrowsWriteTheirPositionNotTheTypedText() {
        openFor({0, 1});
        CGeneralPage* page = general();
        page->connectField()->setText(QStringLiteral("2999"));
        page->connectSpin()->stepBy(1);  // from its own position 200
        QCOMPARE(page->connectField()->text(), QStringLiteral("201"));
        page->disconnectSpin()->setPosition(3000);
        page->disconnectSpin()->stepBy(1);
        QCOMPARE(page->disconnectField()->text(), QStringLiteral("3000"));
        sheet()->reject();
    }

    void configurePageSelection() {
        source_.records = scanners_->records({0, 1});
        auto* rows = page_->rows();
        rows->clearRows();
        // Connected in the order 0, 1: newest at the top.
        for (DeviceRecord* record : source_.records) {
            talvo::postMessage(page_, AppMessage::DeviceEvent, 0, talvo::pointerArg(record),
                               talvo::DeviceEventInfo{record->port, record->name});
        }
        QTRY_COMPARE(rows->size(), 2);
        QCOMPARE(rows->rowAt(0)->port, scanners_->record(1)->port);
        QCOMPARE(page_->deviceList()->model()->headerData(0, Qt::Horizontal).toString(),
                 QStringLiteral("Connected Device Name"));

        QCOMPARE(page_->configureSelected(), 0);  // nothing ticked
        // Connecting again: the row goes; connected again: back at the top, unticked.
        rows->setChecked(1, true);
        DeviceRecord* first = scanners_->record(0);
        talvo::postMessage(page_, AppMessage::DeviceEvent, 2, talvo::pointerArg(first),
                           talvo::DeviceEventInfo{first->port, first->name});
        QTRY_COMPARE(rows->size(), 1);
        talvo::postMessage(page_, AppMessage::DeviceEvent, 0, talvo::pointerArg(first),
                           talvo::DeviceEventInfo{first->port, first->name});
        QTRY_COMPARE(rows->size(), 2);
        QCOMPARE(rows->rowAt(0)->port, first->port);
        QVERIFY(!rows->isChecked(0));

        // A ticked row whose scanner is no longer connected is left out; the sheet takes the rows in order.
        rows->setAllChecked(true);
        source_.records = scanners_->records({1});
        QCOMPARE(page_->configureSelected(), 1);
        const auto devices = sheet()->sheetDevices();
        QCOMPARE(devices.size(), 1u);
        QCOMPARE(devices.front(), scanners_->record(1));
        sheet()->reject();
        QVERIFY(!page_->settingsSheetOpen());

        // Two rows naming the same scanner, both ticked: the scanner is in the sheet twice.
        DeviceRecord* second = scanners_->record(1);
        rows->addRow(0, std::make_unique<CConfigurePage::Row>(CConfigurePage::Row{second->port, second->name}));
        rows->setAllChecked(true);
        QCOMPARE(page_->configureSelected(), 2);
        QCOMPARE(sheet()->sheetDevices(), (std::vector<DeviceRecord*>{second, second}));
        sheet()->reject();
    }

    // The Configure page from the keyboard alone: Tab from the button reaches the header's box, Down the
    // rows, Space ticks and unticks, and the button opens the sheet for the ticked scanners.
    void configurePageWorksFromTheKeyboard() {
        source_.records = scanners_->records({0, 1});
        auto* rows = page_->rows();
        rows->clearRows();
        for (DeviceRecord* record : source_.records) {
            rows->addRow(rows->size(),
                         std::make_unique<CConfigurePage::Row>(CConfigurePage::Row{record->port, record->name}));
        }
        mainWindow_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(mainWindow_.get()));
        auto* button = page_->findChild<QPushButton*>();
        auto* list = page_->deviceList();
        button->setFocus();
        QTRY_VERIFY(button->hasFocus());
        QTest::keyClick(button, Qt::Key_Tab);
        QTRY_VERIFY(list->headerCtrl()->hasFocus());
        QTest::keyClick(list->headerCtrl(), Qt::Key_Space);
        QVERIFY(rows->isChecked(0) && rows->isChecked(1));
        QTest::keyClick(list->headerCtrl(), Qt::Key_Down);
        QTRY_VERIFY(list->hasFocus());
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Space);  // the second row: unticked
        QVERIFY(rows->isChecked(0) && !rows->isChecked(1));
        QTest::keyClick(list, Qt::Key_Backtab);
        QTest::keyClick(list->headerCtrl(), Qt::Key_Backtab);
        QTRY_VERIFY(button->hasFocus());
        QTest::keyClick(button, Qt::Key_Space);
        QTRY_VERIFY(page_->settingsSheetOpen());
        QCOMPARE(sheet()->sheetDevices(), (std::vector<DeviceRecord*>{scanners_->record(0)}));
        sheet()->reject();
    }

    void lostScannerShowsTheNoticeAndTheSheetStays() {
        openFor({0, 1});
        sheet()->setNoticeTime(std::chrono::milliseconds(200));
        DeviceRecord* lost = scanners_->record(1);
        talvo::postMessage(page_, AppMessage::DeviceEvent, 1, talvo::pointerArg(lost),
                           talvo::DeviceEventInfo{lost->port, lost->name});
        QTRY_VERIFY(sheet()->noticeShown());
        QVERIFY(sheet()->notice()->isVisible());
        QCOMPARE(sheet()->notice()->text(), QStringLiteral("Scanner 32 disconnected"));
        QCOMPARE(page_->rows()->size(), 1);
        QTRY_VERIFY(!sheet()->notice()->isVisible());
        QVERIFY(sheet()->isVisible());
        QCOMPARE(sheet()->sheetDevices().size(), 2u);  // the sheet keeps it
        sheet()->reject();
    }

    void f4SendsBothSheetsToTheBackground() {
        openFor({0, 1});
        sheet()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(sheet()));
        QTest::keyClick(sheet(), Qt::Key_F4);
        QTRY_VERIFY(!sheet()->isVisible());
        QVERIFY(!mainWindow_->isVisible());
        QVERIFY(page_->settingsSheetOpen());
        QCOMPARE(page_->configureSelected(), 0);  // shows it again
        QVERIFY(sheet()->isVisible());
        sheet()->reject();
    }

    // A silent scanner: closing the sheet while it reads returns at once, and the page and its worker
    // end after at most the call in progress.
    void closingWhileReadingASilentScannerDoesNotHang() {
        scanners_->sim(2).staySilent(1000);
        openFor({2});
        QVERIFY(general()->busy());
        QElapsedTimer timer;
        timer.start();
        sheet()->reject();
        QVERIFY(!page_->settingsSheetOpen());
        mainWindow_.reset();
        page_ = nullptr;
        QVERIFY2(timer.elapsed() < 4000, qPrintable(QString::number(timer.elapsed())));
        scanners_->sim(2).staySilent(0);
    }
};

QTEST_MAIN(TestSettingSheet)
#include "test_setting_sheet.moc"

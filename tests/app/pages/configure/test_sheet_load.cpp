// The settings sheet under load and faults, with the real SDK: sixteen scanners of which some do not
// answer (every call on them takes the SDK's full ~3 s), and a scanner whose terminal goes away while the
// sheet writes to it. The frame log of each simulated scanner shows what reached it.
#include "config_fixture.h"
#include "controls/notice_dlg.h"
#include "messages/message_box.h"
#include "pages/configure/configure_page.h"
#include "pages/configure/configure_worker.h"
#include "pages/configure/sheet/general_page.h"
#include "pages/configure/sheet/setting_sheet_dlg.h"

#include "zt/protocol/wire.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <chrono>

using talvo::MessageBox;
using talvo::config::CGeneralPage;
using talvo::config::test::ConnectedSource;
using talvo::config::test::Scanners;
using zt::wire::Command;

namespace {

constexpr int kSheetScanners = 16;
constexpr int kOutside = 16;  // a scanner that is in no sheet
constexpr int kWait = 15000;
// A call on a silent scanner: three 1000 ms waits; ending the worker waits for that one call.
constexpr qint64 kOneCallBound = 5000;
const std::vector<int> kGeneralWrites{int(Command::Buzzer), int(Command::Config), int(Command::Config)};

}  // namespace

class TestSheetLoad : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Scanners> scanners_;
    std::unique_ptr<QWidget> mainWindow_;
    ConnectedSource source_;
    CConfigurePage* page_ = nullptr;
    std::vector<int> silent_;

    [[nodiscard]] CSettingSheetDlg* sheet() const { return page_->settingSheet(); }
    [[nodiscard]] CGeneralPage* general() const {
        return qobject_cast<CGeneralPage*>(sheet()->page(CSettingSheetDlg::GeneralTab));
    }
    void openFor(const std::vector<int>& which) {
        source_.records.clear();
        page_->rows()->clearRows();
        for (int i : which) {
            DeviceRecord* record = scanners_->record(i);
            source_.records.push_back(record);
            page_->rows()->addRow(page_->rows()->size(), std::make_unique<CConfigurePage::Row>(
                                                             CConfigurePage::Row{record->port, record->name}));
            page_->rows()->setChecked(page_->rows()->size() - 1, true);
        }
        QCOMPARE(page_->configureSelected(), static_cast<int>(which.size()));
        QVERIFY(sheet()->isVisible());
    }
    [[nodiscard]] static std::vector<int> firstSixteen() {
        std::vector<int> all(kSheetScanners);
        for (int i = 0; i < kSheetScanners; ++i) all[static_cast<std::size_t>(i)] = i;
        return all;
    }
    void silence(std::initializer_list<int> which) {
        for (int i : which) {
            scanners_->silence(i, true);
            silent_.push_back(i);
        }
    }
    // Ticks General (the defaults High, 200, 400 for several scanners) and presses OK; the press returns
    // at once with the sheet writing.
    void confirmGeneral() {
        general()->applyBox()->setChecked(true);
        QElapsedTimer pressed;
        pressed.start();
        sheet()->okButton()->click();
        QVERIFY2(pressed.elapsed() < 500, qPrintable(QString::number(pressed.elapsed())));
        QVERIFY(sheet()->writing());
        QVERIFY(sheet()->isVisible());
    }

private slots:
    void initTestCase() {
        std::vector<int> ports;
        for (int i = 0; i <= kOutside; ++i) ports.push_back(61 + i);
        QElapsedTimer opening;
        opening.start();
        scanners_ = std::make_unique<Scanners>(ports);
        QVERIFY(scanners_->opened());
        qInfo("17 scanners opened in %lld ms", static_cast<long long>(opening.elapsed()));
    }
    void init() {
        MessageBox::clearAnswers();
        mainWindow_ = std::make_unique<QWidget>();
        page_ = new CConfigurePage(mainWindow_.get());
        page_->setConnectedSource(&source_);
        scanners_->setDisconnectTarget(page_);
        mainWindow_->show();
        for (int i = 0; i <= kOutside; ++i) {
            scanners_->sim(i).updateState([](zt::sim::ScannerState& s) {
                s.buzzer = 1;
                s.connectBeepDelay = 150;
                s.disconnectBeepDelay = 250;
            });
        }
        scanners_->clearFrames();
    }
    void cleanup() {
        scanners_->setDisconnectTarget(nullptr);
        mainWindow_.reset();
        page_ = nullptr;
        for (int i : silent_) scanners_->silence(i, false);
        silent_.clear();
    }
    void cleanupTestCase() { scanners_.reset(); }

    // Sixteen scanners, two of them slow to answer one call (one answers the SDK's second try, one never
    // answers the volume): the window keeps working meanwhile, every scanner of the sheet gets General's
    // three writes and nothing else, the scanner outside the sheet gets nothing, the sheet closes.
    void sixteenScannersSomeSlowGetOnlyTheTickedPage() {
        openFor(firstSixteen());
        scanners_->sim(5).staySilent(1);
        scanners_->sim(11).staySilent(3);
        confirmGeneral();
        // While the worker waits for scanner 5, the user-interface thread still handles its events.
        QVERIFY(scanners_->sim(5).waitForFrames(1, std::chrono::milliseconds(kWait)));
        bool handled = false;
        QTimer::singleShot(0, this, [&handled] { handled = true; });
        QTRY_VERIFY(handled);
        QVERIFY(sheet()->writing());
        QTRY_VERIFY_WITH_TIMEOUT(!page_->settingsSheetOpen(), kWait);
        QTRY_COMPARE_WITH_TIMEOUT(page_->worker().pendingJobs(), 0, kWait);

        for (int i = 0; i < kSheetScanners; ++i) {
            const std::vector<int> codes = scanners_->requestCodes(i);
            if (i == 5) {
                QCOMPARE(codes, (std::vector<int>{int(Command::Buzzer), int(Command::Buzzer), int(Command::Config),
                                                  int(Command::Config)}));
            } else if (i == 11) {
                QCOMPARE(codes, (std::vector<int>{int(Command::Buzzer), int(Command::Buzzer), int(Command::Buzzer),
                                                  int(Command::Config), int(Command::Config)}));
            } else {
                QCOMPARE(codes, kGeneralWrites);
            }
            const auto state = scanners_->sim(i).state();
            QCOMPARE(state.buzzer, i == 11 ? 1 : 3);  // 11 never answered the volume
            QCOMPARE(state.connectBeepDelay, 200u);
            QCOMPARE(state.disconnectBeepDelay, 400u);
        }
        QVERIFY(scanners_->requestCodes(kOutside).empty());
        QVERIFY(MessageBox::shownTexts().isEmpty());
    }

    // Closing the sheet while it writes to a silent scanner: the call in progress ends, nothing after it
    // is written, the worker is free again.
    void closingTheSheetAbandonsTheWritesLeft() {
        openFor(firstSixteen());
        silence({3, 8, 12});
        confirmGeneral();
        QVERIFY(scanners_->sim(3).waitForFrames(1, std::chrono::milliseconds(kWait)));
        QElapsedTimer closing;
        closing.start();
        sheet()->reject();
        QVERIFY(!sheet()->isVisible());
        QVERIFY(!page_->settingsSheetOpen());
        QVERIFY(!sheet()->writing());
        QTRY_COMPARE_WITH_TIMEOUT(page_->worker().pendingJobs(), 0, kWait);
        QVERIFY2(closing.elapsed() < kOneCallBound, qPrintable(QString::number(closing.elapsed())));

        for (int i : {0, 1, 2}) QCOMPARE(scanners_->requestCodes(i), kGeneralWrites);
        const std::vector<int> tries = scanners_->requestCodes(3);
        QVERIFY(!tries.empty() && tries.size() <= 3);
        QVERIFY(std::all_of(tries.begin(), tries.end(), [](int code) { return code == int(Command::Buzzer); }));
        for (int i = 4; i <= kOutside; ++i)
            QVERIFY2(scanners_->requestCodes(i).empty(), qPrintable(QString::number(i)));
        QCOMPARE(scanners_->sim(4).state().buzzer, 1);

        // The sheet opens again at once and works.
        openFor({0});
        QTRY_VERIFY_WITH_TIMEOUT(!general()->busy(), kWait);
        QCOMPARE(general()->connectField()->text(), QStringLiteral("200"));
        sheet()->reject();
    }

    // The program ending (the Configure page goes) while the sheet writes to silent scanners: the page's
    // worker ends after the call in progress instead of writing on for minutes.
    void closingThePageWhileWritingEndsTheWorker() {
        openFor(firstSixteen());
        silence({2, 7, 13});
        confirmGeneral();
        QVERIFY(scanners_->sim(2).waitForFrames(1, std::chrono::milliseconds(kWait)));
        QElapsedTimer ending;
        ending.start();
        scanners_->setDisconnectTarget(nullptr);
        mainWindow_.reset();
        page_ = nullptr;
        QVERIFY2(ending.elapsed() < kOneCallBound, qPrintable(QString::number(ending.elapsed())));
        for (int i = 3; i <= kOutside; ++i) QVERIFY(scanners_->requestCodes(i).empty());
    }

    // A scanner whose terminal closes while the sheet writes to it (the SDK sees the port lost): the
    // notice names it for two seconds while the sheet writes on to the scanners after it, which get
    // everything; nothing hangs. Two slow scanners keep the writes going past the notice's time. Last:
    // the lost scanner stays away.
    void scannerLostMidWrite() {
        openFor({0, 1, 2, 3});
        scanners_->sim(1).staySilent(3);  // the volume write waits for an answer that does not come
        scanners_->sim(2).staySilent(2);  // answered at the third try, ~2 s
        scanners_->sim(3).staySilent(2);
        confirmGeneral();
        QVERIFY(scanners_->sim(1).waitForFrames(1, std::chrono::milliseconds(kWait)));
        QElapsedTimer lost;  // the notice shows after the loss and stays 2 s
        lost.start();
        scanners_->sim(1).hangUp();
        QTRY_VERIFY_WITH_TIMEOUT(sheet()->noticeShown(), kWait);
        QVERIFY(sheet()->notice()->isVisible());
        QCOMPARE(sheet()->notice()->text(), QStringLiteral("Scanner 62 disconnected"));
        QCOMPARE(page_->rows()->size(), 3);  // its row went
        QTRY_VERIFY_WITH_TIMEOUT(!sheet()->noticeShown(), kWait);
        QVERIFY2(lost.elapsed() >= 2000 && lost.elapsed() < 4000, qPrintable(QString::number(lost.elapsed())));
        QVERIFY(sheet()->isVisible());  // still writing to scanner 3
        QVERIFY(sheet()->writing());

        QTRY_VERIFY_WITH_TIMEOUT(!page_->settingsSheetOpen(), kWait);
        QTRY_COMPARE_WITH_TIMEOUT(page_->worker().pendingJobs(), 0, kWait);
        for (int i : {0, 2, 3}) {
            const auto state = scanners_->sim(i).state();
            QCOMPARE(state.buzzer, 3);
            QCOMPARE(state.connectBeepDelay, 200u);
            QCOMPARE(state.disconnectBeepDelay, 400u);
        }
        QCOMPARE(scanners_->sim(1).state().connectBeepDelay, 150u);
        QCOMPARE(scanners_->requestCodes(1), std::vector<int>{int(Command::Buzzer)});
        QVERIFY(scanners_->requestCodes(kOutside).empty());
    }
};

QTEST_MAIN(TestSheetLoad)
#include "test_sheet_load.moc"

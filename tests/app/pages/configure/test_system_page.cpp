// The System page against three simulated scanners: every button acts at once on all of the sheet's
// scanners and reports each one.
#include "config_fixture.h"
#include "controls/spin_arrows.h"
#include "messages/message_box.h"
#include "pages/configure/configure_worker.h"
#include "pages/configure/sheet/setting_sheet_dlg.h"
#include "pages/configure/sheet/system_page.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

using talvo::MessageBox;
using talvo::config::CSystemPage;
using talvo::config::test::Scanners;

namespace {

constexpr int kWait = 10000;
const QString kMismatch = QStringLiteral("The number is Incorrect!\r\nPlease try again");
const QString kLength = QStringLiteral("It should put the 4 digit!\r\nPlease try again");
const QString kDigits = QStringLiteral("It should put the 4 digit numbers!\r\nPlease try again");

}  // namespace

class TestSystemPage : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Scanners> scanners_;
    std::unique_ptr<talvo::config::ConfigureWorker> worker_;
    std::unique_ptr<CSettingSheetDlg> sheet_;
    QObject owner_;

    CSystemPage* openOn(std::initializer_list<int> which) {
        if (sheet_->openForDevices(scanners_->records(which)) != 1) return nullptr;
        sheet_->tabs()->setCurrentIndex(CSettingSheetDlg::SystemTab);
        auto* page = qobject_cast<CSystemPage*>(sheet_->page(CSettingSheetDlg::SystemTab));
        if (page != nullptr && !QTest::qWaitFor([page] { return !page->busy(); }, kWait)) return nullptr;
        return page;
    }
    // Presses `button` and waits for the report box (answered by the seam).
    void pressAndWait(CSystemPage* page, QPushButton* button, qsizetype boxes) {
        button->click();
        QTRY_COMPARE_WITH_TIMEOUT(MessageBox::shownTexts().size(), boxes, kWait);
        QTRY_VERIFY(!page->busy());
        QVERIFY(button->isEnabled());
    }

private slots:
    void initTestCase() {
        scanners_ = std::make_unique<Scanners>(std::vector<int>{51, 52, 53});
        QVERIFY(scanners_->opened());
    }
    void init() {
        MessageBox::clearAnswers();
        worker_ = std::make_unique<talvo::config::ConfigureWorker>();
        sheet_ = std::make_unique<CSettingSheetDlg>(&owner_, *worker_);
    }
    void cleanup() {
        sheet_.reset();
        worker_.reset();
    }
    void cleanupTestCase() { scanners_.reset(); }

    void pinChecksInOrder_data() {
        QTest::addColumn<QString>("pin");
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<QString>("problem");
        QTest::newRow("differ in one character") << "1234"
                                                 << "1235" << kMismatch;
        QTest::newRow("differ and too short") << "123"
                                              << "1234" << kMismatch;
        QTest::newRow("three digits") << "123"
                                      << "123" << kLength;
        QTest::newRow("ten digits") << "1234567890"
                                    << "1234567890" << kLength;
        QTest::newRow("twenty digits, the last differing") << "12345678901234567890"
                                                           << "12345678901234567891" << kMismatch;
        QTest::newRow("four non-ASCII digits") << QString::fromUtf8("\u0661\u0662\u0663\u0664")
                                               << QString::fromUtf8("\u0661\u0662\u0663\u0664") << kLength;
        QTest::newRow("a letter") << "12a4"
                                  << "12a4" << kDigits;
        QTest::newRow("non-ASCII digit") << QString::fromUtf8(
                                                "12\u0663"
                                                "4")
                                         << QString::fromUtf8(
                                                "12\u0663"
                                                "4")
                                         << kDigits;
        QTest::newRow("empty") << ""
                               << "" << kLength;
    }
    void pinChecksInOrder() {
        QFETCH(QString, pin);
        QFETCH(QString, confirmation);
        QFETCH(QString, problem);
        const auto found = talvo::config::pinProblem(pin, confirmation);
        QVERIFY(found.has_value());
        if (QStringLiteral("non-ASCII digit") == QTest::currentDataTag() && *found == kLength)
            return;  // 2-byte code page
        QCOMPARE(*found, problem);
        QVERIFY(!talvo::config::pinProblem(QStringLiteral("0042"), QStringLiteral("0042")).has_value());
    }

    void oneScannerIsRead() {
        scanners_->sim(0).updateState([](zt::sim::ScannerState& s) {
            s.sleepTime = 7;
            s.flags[2] = 1;  // the cancel button's item
        });
        auto* page = openOn({0});
        QVERIFY(page != nullptr);
        QCOMPARE(page->powerSaveField()->text(), QStringLiteral("7"));
        QCOMPARE(page->powerSaveSpin()->position(), 7);
        QCOMPARE(page->cancelButtonBox()->text(), QStringLiteral("Cancel Btn"));
        page->powerSaveSpin()->setPosition(10);
        page->powerSaveSpin()->stepBy(1);
        QCOMPARE(page->powerSaveField()->text(), QStringLiteral("10"));
    }

    void defaultsWithTheSecondFailing() {
        auto* page = openOn({0, 1, 2});
        QVERIFY(page != nullptr);
        QCOMPARE(page->powerSaveField()->text(), QStringLiteral("3"));
        QVERIFY(!page->cancelButtonBox()->isChecked());
        scanners_->sim(1).refuse(1);
        MessageBox::queueAnswer(QMessageBox::Yes);
        MessageBox::queueAnswer(QMessageBox::Ok);
        pressAndWait(page, page->defaultButton(), 2);
        QCOMPARE(MessageBox::shownTexts().at(0), QStringLiteral("Want to be\r\nDefault Setting?"));
        QCOMPARE(MessageBox::shownTexts().at(1),
                 QStringLiteral("Default Setting\r\nScanner 51  Done\r\nScanner 52  Fail"
                                "\r\nScanner 53  Done"));
    }

    void validPinAnsweredNoChangesNothingAndClearsBoth() {
        auto* page = openOn({0, 1});
        QVERIFY(page != nullptr);
        const std::string before = scanners_->sim(0).state().pin;
        page->pinField()->setText(QStringLiteral("4321"));
        page->confirmField()->setText(QStringLiteral("4321"));
        scanners_->clearFrames();
        MessageBox::queueAnswer(QMessageBox::No);
        page->changeButton()->click();
        QCOMPARE(MessageBox::shownTexts(), QStringList{QStringLiteral("Want to change\r\nPassword?")});
        QVERIFY(page->pinField()->text().isEmpty());
        QVERIFY(page->confirmField()->text().isEmpty());
        QCOMPARE(scanners_->frameCount(), 0u);
        QCOMPARE(scanners_->sim(0).state().pin, before);

        page->pinField()->setText(QStringLiteral("12a4"));
        page->confirmField()->setText(QStringLiteral("12a4"));
        MessageBox::queueAnswer(QMessageBox::Ok);
        page->changeButton()->click();
        QCOMPARE(MessageBox::shownTexts().last(), kDigits);
        QVERIFY(page->pinField()->text().isEmpty());

        page->pinField()->setText(QStringLiteral("4321"));
        page->confirmField()->setText(QStringLiteral("4321"));
        MessageBox::queueAnswer(QMessageBox::Yes);
        MessageBox::queueAnswer(QMessageBox::Ok);
        pressAndWait(page, page->changeButton(), 4);
        QCOMPARE(MessageBox::shownTexts().last(),
                 QStringLiteral("PinCode Change\r\nScanner 51  Changed\r\nScanner 52  Changed"));
        QCOMPARE(scanners_->sim(1).state().pin, std::string("4321"));
    }

    // No confirmation; the value typed goes as it is, and one above 10 fails on every scanner.
    void powerSaveAndCancelButton() {
        auto* page = openOn({0, 1});
        QVERIFY(page != nullptr);
        page->powerSaveField()->setText(QStringLiteral("9"));
        MessageBox::queueAnswer(QMessageBox::Ok);
        pressAndWait(page, page->powerSaveButton(), 1);
        QCOMPARE(MessageBox::shownTexts().last(),
                 QStringLiteral("Power save mode\r\nScanner 51  Done\r\nScanner 52  Done"));
        QCOMPARE(scanners_->sim(1).state().sleepTime, 9u);
        page->powerSaveField()->setText(QStringLiteral("11"));
        MessageBox::queueAnswer(QMessageBox::Ok);
        pressAndWait(page, page->powerSaveButton(), 2);
        QCOMPARE(MessageBox::shownTexts().last(),
                 QStringLiteral("Power save mode\r\nScanner 51  Fail\r\nScanner 52  Fail"));
        QCOMPARE(scanners_->sim(1).state().sleepTime, 9u);

        page->cancelButtonBox()->setChecked(true);
        MessageBox::queueAnswer(QMessageBox::Ok);
        pressAndWait(page, page->cancelButtonOk(), 3);
        QCOMPARE(scanners_->sim(0).state().flags[2], 1);
        QCOMPARE(scanners_->sim(1).state().flags[2], 1);
    }

    // A negative time reaches the SDK, which refuses it (Fail on every line); a text that is no whole
    // number (letters, or beyond the integers) is named and nothing is written to any scanner.
    void powerSaveBadInput() {
        auto* page = openOn({0, 1});
        QVERIFY(page != nullptr);
        page->powerSaveField()->setText(QStringLiteral("-1"));
        MessageBox::queueAnswer(QMessageBox::Ok);
        pressAndWait(page, page->powerSaveButton(), 1);
        QCOMPARE(MessageBox::shownTexts().last(),
                 QStringLiteral("Power save mode\r\nScanner 51  Fail\r\nScanner 52  Fail"));
        scanners_->clearFrames();
        qsizetype boxes = 1;
        for (const char* typed : {"abc", "99999999999", "", "3.5"}) {
            page->powerSaveField()->setText(QString::fromLatin1(typed));
            MessageBox::queueAnswer(QMessageBox::Ok);
            page->powerSaveButton()->click();
            QCOMPARE(MessageBox::shownTexts().size(), ++boxes);
            QCOMPARE(MessageBox::shownTexts().last(), QStringLiteral("Please enter an integer."));
            QVERIFY(!page->busy());
            QVERIFY(page->powerSaveButton()->isEnabled());
        }
        QCOMPARE(scanners_->frameCount(), 0u);
    }

    // A PIN of ten or more characters typed into the page: the length message, no question, nothing
    // sent, both fields cleared.
    void longPinTypedIntoThePage() {
        auto* page = openOn({0, 1});
        QVERIFY(page != nullptr);
        scanners_->clearFrames();
        for (const QString& typed : {QStringLiteral("1234567890"), QString(40, QLatin1Char('7'))}) {
            QTest::keyClicks(page->pinField(), typed);
            QTest::keyClicks(page->confirmField(), typed);
            MessageBox::queueAnswer(QMessageBox::Ok);
            page->changeButton()->click();
            QCOMPARE(MessageBox::shownTexts().last(), kLength);
            QVERIFY(page->pinField()->text().isEmpty());
            QVERIFY(page->confirmField()->text().isEmpty());
        }
        QCOMPARE(MessageBox::shownTexts().size(), 2);
        QCOMPARE(scanners_->frameCount(), 0u);
    }

    void eraseAnsweredNoTouchesNoScanner() {
        auto* page = openOn({0});
        QVERIFY(page != nullptr);
        scanners_->clearFrames();
        MessageBox::queueAnswer(QMessageBox::No);
        page->eraseButton()->click();
        QCOMPARE(MessageBox::shownTexts(), QStringList{QStringLiteral("Want to erase all\r\ndata of ZT-550?")});
        QCOMPARE(scanners_->frameCount(), 0u);
        QVERIFY(page->eraseButton()->isEnabled());
    }
};

QTEST_MAIN(TestSystemPage)
#include "test_system_page.moc"

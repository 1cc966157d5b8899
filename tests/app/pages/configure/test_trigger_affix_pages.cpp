// The Symbology, Trigger and Prefix/Suffix pages of the settings sheet against simulated scanners.
#include "config_fixture.h"
#include "controls/list_ctrl_ext.h"
#include "controls/spin_arrows.h"
#include "messages/app_messages.h"
#include "messages/message_box.h"
#include "pages/configure/configure_worker.h"
#include "pages/configure/sheet/prefix_suffix_page.h"
#include "pages/configure/sheet/setting_sheet_dlg.h"
#include "pages/configure/sheet/symbology_page.h"
#include "pages/configure/sheet/trigger_page.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include <utility>

using talvo::MessageBox;
using talvo::config::CPrefixSuffixPage;
using talvo::config::CSymbologyPage;
using talvo::config::CTriggerPage;
using talvo::config::test::Scanners;

namespace {

constexpr int kWait = 10000;

// Records the MsgOptionSelected notes that reach a page, (index, numeric) each.
class OptionNotes : public QObject {
public:
    explicit OptionNotes(QObject* page) { page->installEventFilter(this); }
    std::vector<std::pair<int, bool>> notes;
    // Delivers the notes posted so far and hands them over.
    std::vector<std::pair<int, bool>> take() {
        QCoreApplication::sendPostedEvents();
        return std::exchange(notes, {});
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (auto* message = talvo::AppEvent::from(event);
            message != nullptr && message->message() == talvo::AppMessage::OptionSelected) {
            notes.emplace_back(static_cast<int>(message->first()), message->second() != 0);
        }
        return QObject::eventFilter(watched, event);
    }
};

using Notes = std::vector<std::pair<int, bool>>;

}  // namespace

class TestTriggerAffixPages : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Scanners> scanners_;
    std::unique_ptr<talvo::config::ConfigureWorker> worker_;
    std::unique_ptr<CSettingSheetDlg> sheet_;
    QObject owner_;

    // Opens the sheet for the scanners `which` on tab `tab` and waits for the page's reads.
    template <class Page>
    Page* openOn(std::initializer_list<int> which, int tab) {
        const auto records = scanners_->records(which);
        if (sheet_->openForDevices(records) != 1) return nullptr;
        sheet_->tabs()->setCurrentIndex(tab);
        auto* page = qobject_cast<Page*>(sheet_->page(tab));
        if (page != nullptr && !QTest::qWaitFor([page] { return !page->busy(); }, kWait)) return nullptr;
        return page;
    }
    void confirm() {
        sheet_->okButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(!sheet_->isVisible() && !sheet_->writing(), kWait);
        QTRY_COMPARE_WITH_TIMEOUT(worker_->pendingJobs(), 0, kWait);
    }

private slots:
    void initTestCase() {
        scanners_ = std::make_unique<Scanners>(std::vector<int>{41, 42});
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

    // Symbology request frames (reads and writes) a scanner received.
    [[nodiscard]] int symbologyFrames(int i) const {
        int count = 0;
        for (const auto& frame : scanners_->sim(i).frames()) {
            if (frame.header.isRequest() && frame.header.code() == int(zt::wire::Command::Symbology)) ++count;
        }
        return count;
    }

    // A check-box row whose scanner value is 2 shows ticked and is sent as 1; untouched rows are not sent.
    void symbologyOneScannerSendsTheChangedRows() {
        scanners_->sim(0).updateState([](zt::sim::ScannerState& s) {
            s.symbology[{18, 0}] = 2;
            s.symbology[{27, 24}] = 5;
        });
        auto* page = openOn<CSymbologyPage>({0}, CSettingSheetDlg::SymbologyTab);
        QVERIFY(page != nullptr);
        QCOMPARE(page->rows()->size(), 34);
        QCOMPARE(page->rows()->rowAt(0)->name, QStringLiteral("UPC-A"));
        QCOMPARE(page->rows()->rowAt(24)->name, QStringLiteral("Interleaved 2 of 5 Lenght Min"));
        QCOMPARE(page->rows()->rowAt(3)->name, QStringLiteral("UPC-E"));
        QVERIFY(page->rows()->isChecked(3));
        QCOMPARE(page->numericValue(0x1B0018), 5);
        page->applyBox()->setChecked(true);
        scanners_->clearFrames();
        confirm();
        QCOMPARE(symbologyFrames(0), 1);
        QCOMPARE(int(scanners_->sim(0).state().symbology.at({18, 0})), 1);
    }

    void symbologySetChecksRangeBeforeTheCrossCheck() {
        auto* page = openOn<CSymbologyPage>({0, 1}, CSettingSheetDlg::SymbologyTab);
        QVERIFY(page != nullptr);
        QCOMPARE(page->numericValue(0x1B0018), 3);
        QCOMPARE(page->numericValue(0x1B0019), 30);
        page->list()->setCurrentIndex(page->rows()->index(24, 0));  // minimum length
        QTRY_VERIFY(page->valueField()->isVisibleTo(page));
        QCOMPARE(page->valueField()->text(), QStringLiteral("3"));
        page->valueSpin()->setPosition(255);
        page->valueSpin()->stepBy(1);  // the arrows stop at the option's largest value
        QCOMPARE(page->valueField()->text(), QStringLiteral("255"));
        const QString range = QStringLiteral("It should put the 0~255 number!\r\nPlease try again");
        for (const char* typed : {"256", "-1"}) {
            page->valueField()->setText(QString::fromLatin1(typed));
            MessageBox::queueAnswer(QMessageBox::Ok);
            page->setButton()->click();
            QCOMPARE(MessageBox::shownTexts().last(), range);
        }
        page->valueField()->setText(QStringLiteral("31"));
        MessageBox::queueAnswer(QMessageBox::Ok);
        page->setButton()->click();
        QCOMPARE(MessageBox::shownTexts().last(),
                 QStringLiteral("It should put the low number than Max Length!\r\nPlease try again"));
        QCOMPARE(page->numericValue(0x1B0018), 3);
        page->valueField()->setText(QStringLiteral("30"));  // equal to the maximum
        page->setButton()->click();
        QCOMPARE(MessageBox::shownTexts().size(), 3);
        QCOMPARE(page->numericValue(0x1B0018), 30);
        page->valueField()->setText(QStringLiteral("x"));
        MessageBox::queueAnswer(QMessageBox::Ok);
        page->setButton()->click();
        QCOMPARE(MessageBox::shownTexts().last(), QStringLiteral("Please enter an integer."));

        page->list()->setCurrentIndex(page->rows()->index(0, 0));  // a check-box row hides the field
        QTRY_VERIFY(!page->valueField()->isVisibleTo(page));
        page->restoreDefaults();
        QCOMPARE(page->numericValue(0x1B0018), 3);
        sheet_->reject();
    }

    // The keyboard alone, also right after a refused value put the focus into the value field: back to the
    // rows with Shift+Tab, Up and Down select (and show the value field for the numbers), Space ticks, Up
    // from the first row reaches the header's box.
    void symbologyListWorksFromTheKeyboardAfterARefusedValue() {
        auto* page = openOn<CSymbologyPage>({0, 1}, CSettingSheetDlg::SymbologyTab);
        QVERIFY(page != nullptr);
        sheet_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(sheet_.get()));
        talvo::CListCtrlExt* list = page->list();
        list->setFocus();
        QTRY_VERIFY(list->hasFocus());
        const auto selectedRow = [list] {
            const auto rows = list->selectionModel()->selectedRows();
            return rows.size() == 1 ? rows.front().row() : -1;
        };
        list->setCurrentIndex(page->rows()->index(23, 0));
        QTest::keyClick(list, Qt::Key_Down);  // minimum length: a number
        QCOMPARE(selectedRow(), 24);
        QTRY_VERIFY(page->valueField()->isVisibleTo(page));
        page->valueField()->setText(QStringLiteral("x"));
        MessageBox::queueAnswer(QMessageBox::Ok);
        page->setButton()->click();
        QCOMPARE(MessageBox::shownTexts().last(), QStringLiteral("Please enter an integer."));
        QTRY_VERIFY(page->valueField()->hasFocus());

        QTest::keyClick(page->valueField(), Qt::Key_Backtab);
        QTRY_VERIFY(list->hasFocus());
        QCOMPARE(selectedRow(), 24);
        QTest::keyClick(list, Qt::Key_Up);
        QCOMPARE(selectedRow(), 23);
        QTRY_VERIFY(!page->valueField()->isVisibleTo(page));  // a check-box row
        const bool before = page->rows()->isChecked(23);
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(page->rows()->isChecked(23), !before);
        list->setCurrentIndex(page->rows()->index(0, 0));
        QTest::keyClick(list, Qt::Key_Up);
        QTRY_VERIFY(list->headerCtrl()->hasFocus());
        QTest::keyClick(list->headerCtrl(), Qt::Key_Space);
        for (int row = 0; row < page->rows()->size(); ++row) QVERIFY(page->rows()->isChecked(row));
        QTest::keyClick(list->headerCtrl(), Qt::Key_Tab);
        QTRY_VERIFY(list->hasFocus());
        sheet_->reject();
    }

    // MsgOptionSelected follows the selection: a row that becomes selected and has the focus is
    // announced with whether it is one of the five numbers; the focus alone, or the selected row
    // selected again, announces nothing.
    void optionSelectedFollowsTheSelection() {
        auto* page = openOn<CSymbologyPage>({0, 1}, CSettingSheetDlg::SymbologyTab);
        QVERIFY(page != nullptr);
        sheet_->show();
        OptionNotes notes(page);
        QCOMPARE(notes.take(), Notes{});  // the filled list has a focused row 0, nothing selected
        auto* list = page->list();
        const auto click = [list](int row, Qt::KeyboardModifiers keys = Qt::NoModifier) {
            const QModelIndex index = list->model()->index(row, 0);
            list->scrollTo(index);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, keys, list->visualRect(index).center());
        };
        click(24);  // the minimum length
        QCOMPARE(notes.take(), (Notes{{24, true}}));
        QTRY_VERIFY(page->valueField()->isVisibleTo(page));
        click(24);
        QCOMPARE(notes.take(), Notes{});
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(notes.take(), (Notes{{25, true}}));
        QCOMPARE(page->selectedIndex(), 25);

        // The focus moves on its own (as an assistive technology moves it): nothing.
        list->selectionModel()->setCurrentIndex(list->model()->index(26, 0), QItemSelectionModel::NoUpdate);
        QCOMPARE(notes.take(), Notes{});
        QCOMPARE(page->selectedIndex(), 25);
        QVERIFY(page->valueField()->isVisibleTo(page));
        // Selected without the focus: nothing either.
        list->selectionModel()->select(list->model()->index(3, 0), QItemSelectionModel::ClearAndSelect);
        QCOMPARE(notes.take(), Notes{});

        // Ctrl+click takes the selection off the row (focused only); a click selects it again.
        click(27, Qt::ControlModifier);
        click(27, Qt::ControlModifier);
        QCOMPARE(notes.take(), (Notes{{27, false}}));
        QVERIFY(!list->selectionModel()->isRowSelected(27, {}));
        click(27);
        QCOMPARE(notes.take(), (Notes{{27, false}}));
        QTRY_VERIFY(!page->valueField()->isVisibleTo(page));
        QTest::keyClick(list, Qt::Key_Up);  // the check digit row
        QTest::keyClick(list, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(notes.take(), (Notes{{26, false}, {33, false}}));
        sheet_->reject();
    }

    // Two scanners: the defaults are shown and all 34 rows go to both; the header ticks every row.
    void symbologyTwoScannersGetEveryRow() {
        for (int i : {0, 1}) scanners_->sim(i).updateState([](zt::sim::ScannerState& s) { s.symbology[{17, 0}] = 0; });
        auto* page = openOn<CSymbologyPage>({0, 1}, CSettingSheetDlg::SymbologyTab);
        QVERIFY(page != nullptr);
        QVERIFY(page->rows()->isChecked(0));
        page->list()->toggleHeaderCheck();
        for (int row = 0; row < page->rows()->size(); ++row) QVERIFY(page->rows()->isChecked(row));
        page->applyBox()->setChecked(true);
        scanners_->clearFrames();
        confirm();
        QCOMPARE(symbologyFrames(0), 34);
        QCOMPARE(symbologyFrames(1), 34);
        const auto state = scanners_->sim(1).state();
        QCOMPARE(int(state.symbology.at({17, 0})), 1);
        QCOMPARE(int(state.symbology.at({24, 3})), 1);    // ticked by the header
        QCOMPARE(int(state.symbology.at({27, 25})), 30);  // a number keeps its slot
    }

    void radioOrderAndModeMapping() {
        QCOMPARE(CTriggerPage::sdkModeOf(CTriggerPage::Single), 0);
        QCOMPARE(CTriggerPage::sdkModeOf(CTriggerPage::Multiple), 2);
        QCOMPARE(CTriggerPage::sdkModeOf(-1), 2);
        QCOMPARE(CTriggerPage::modeIndexOf(1), int(CTriggerPage::Continuous));
        QCOMPARE(CTriggerPage::modeIndexOf(3), -1);
    }

    void singleScannerInSingleModeKeepsItsValueDisabled() {
        scanners_->sim(0).updateState([](zt::sim::ScannerState& s) {
            s.scanMode = 0;
            s.scanValue = 1234;
        });
        auto* page = openOn<CTriggerPage>({0}, CSettingSheetDlg::TriggerTab);
        QVERIFY(page != nullptr);
        QVERIFY(page->modeButton(CTriggerPage::Single)->isChecked());
        QCOMPARE(page->valueField()->text(), QStringLiteral("1234"));
        QVERIFY(!page->valueField()->isEnabled());
        QVERIFY(!page->valueSpin()->isEnabled());
        // Shown top to bottom as Single, Continuous, Multiple.
        QVERIFY(page->modeButton(CTriggerPage::Single)->y() < page->modeButton(CTriggerPage::Continuous)->y());
        QVERIFY(page->modeButton(CTriggerPage::Continuous)->y() < page->modeButton(CTriggerPage::Multiple)->y());
        page->modeButton(CTriggerPage::Multiple)->click();
        QVERIFY(page->valueField()->isEnabled());
        page->valueSpin()->setPosition(9999);
        page->valueSpin()->stepBy(1);
        QCOMPARE(page->valueField()->text(), QStringLiteral("9999"));
        page->applyBox()->setChecked(true);
        confirm();
        QCOMPARE(scanners_->sim(0).state().scanMode, 2);
        QCOMPARE(scanners_->sim(0).state().scanValue, 9999u);
    }

    // A screen reader works the radio buttons with their toggle action, which toggles without a click:
    // the value field follows all the same, as it does for the keyboard.
    void triggerButtonsFollowAScreenReadersToggleAction() {
        scanners_->sim(0).updateState([](zt::sim::ScannerState& s) { s.scanMode = 0; });
        auto* page = openOn<CTriggerPage>({0}, CSettingSheetDlg::TriggerTab);
        QVERIFY(page != nullptr);
        QVERIFY(!page->valueField()->isEnabled());
        const auto toggle = [](QRadioButton* button) {
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(button);
            QVERIFY(iface != nullptr && iface->actionInterface() != nullptr);
            QVERIFY(iface->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
            iface->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
            QVERIFY(button->isChecked());
        };
        for (const int mode : {int(CTriggerPage::Multiple), int(CTriggerPage::Single), int(CTriggerPage::Continuous)}) {
            toggle(page->modeButton(mode));
            QCOMPARE(page->valueField()->isEnabled(), mode != CTriggerPage::Single);
            QCOMPARE(page->valueSpin()->isEnabled(), mode != CTriggerPage::Single);
        }
        // The keyboard: arrows move the choice within the group.
        page->modeButton(CTriggerPage::Single)->setFocus();
        QTest::keyClick(page->modeButton(CTriggerPage::Single), Qt::Key_Space);
        QVERIFY(!page->valueField()->isEnabled());
    }

    // The page passes 2222 with Single too; the SDK sends no value with mode 0.
    void twoScannersGetSingleWith2222() {
        for (int i : {0, 1}) scanners_->sim(i).updateState([](zt::sim::ScannerState& s) { s.scanMode = 2; });
        auto* page = openOn<CTriggerPage>({0, 1}, CSettingSheetDlg::TriggerTab);
        QVERIFY(page != nullptr);
        QVERIFY(page->modeButton(CTriggerPage::Single)->isChecked());
        QCOMPARE(page->valueField()->text(), QStringLiteral("2222"));
        page->applyBox()->setChecked(true);
        confirm();
        for (int i : {0, 1}) {
            QCOMPARE(scanners_->sim(i).state().scanMode, 0);
        }
    }

    void valueAbove9999IsSentAndRefused() {
        scanners_->sim(0).updateState([](zt::sim::ScannerState& s) {
            s.scanMode = 1;
            s.scanValue = 500;
        });
        auto* page = openOn<CTriggerPage>({0}, CSettingSheetDlg::TriggerTab);
        QVERIFY(page != nullptr);
        QVERIFY(page->modeButton(CTriggerPage::Continuous)->isChecked());
        page->valueField()->setText(QStringLiteral("12000"));
        page->applyBox()->setChecked(true);
        confirm();
        QVERIFY(MessageBox::shownTexts().isEmpty());
        QCOMPARE(scanners_->sim(0).state().scanValue, 500u);
        QCOMPARE(scanners_->sim(0).state().scanMode, 1);
    }

    // A negative number reaches the SDK, which refuses it: the scanner keeps its mode, and no box. Letters
    // are named at OK and the number read is written with the mode chosen.
    void triggerNegativeAndLettersAtOk() {
        scanners_->sim(0).updateState([](zt::sim::ScannerState& s) {
            s.scanMode = 1;
            s.scanValue = 500;
        });
        auto* page = openOn<CTriggerPage>({0}, CSettingSheetDlg::TriggerTab);
        QVERIFY(page != nullptr);
        page->modeButton(CTriggerPage::Multiple)->click();
        page->valueField()->setText(QStringLiteral("-1"));
        page->applyBox()->setChecked(true);
        confirm();
        QVERIFY(MessageBox::shownTexts().isEmpty());
        QCOMPARE(scanners_->sim(0).state().scanMode, 1);
        QCOMPARE(scanners_->sim(0).state().scanValue, 500u);

        page = openOn<CTriggerPage>({0}, CSettingSheetDlg::TriggerTab);
        QVERIFY(page != nullptr);
        page->modeButton(CTriggerPage::Multiple)->click();
        page->valueField()->setText(QStringLiteral("12ab"));
        page->applyBox()->setChecked(true);
        MessageBox::queueAnswer(QMessageBox::Ok);
        confirm();
        QCOMPARE(MessageBox::shownTexts(), QStringList{QStringLiteral("Please enter an integer.")});
        QCOMPARE(scanners_->sim(0).state().scanMode, 2);
        QCOMPARE(scanners_->sim(0).state().scanValue, 500u);
    }

    // A number beyond the integers at "Set": named, and the number kept before is checked and kept again.
    void symbologyHugeNumberAtSet() {
        auto* page = openOn<CSymbologyPage>({0, 1}, CSettingSheetDlg::SymbologyTab);
        QVERIFY(page != nullptr);
        page->list()->setCurrentIndex(page->rows()->index(30, 0));  // MSI Check Digit, 0 or 1
        QTRY_VERIFY(page->valueField()->isVisibleTo(page));
        for (const char* typed : {"99999999999", "-99999999999", "1e3"}) {
            page->valueField()->setText(QString::fromLatin1(typed));
            MessageBox::queueAnswer(QMessageBox::Ok);
            page->setButton()->click();
            QCOMPARE(MessageBox::shownTexts().last(), QStringLiteral("Please enter an integer."));
            QCOMPARE(page->numericValue(0x200003), 0);
        }
        page->valueField()->setText(QStringLiteral("-7"));
        MessageBox::queueAnswer(QMessageBox::Ok);
        page->setButton()->click();
        QCOMPARE(MessageBox::shownTexts().last(),
                 QStringLiteral("It should put the 0 or 1 number!\r\nPlease try again"));
        sheet_->reject();
    }

    // Pasted text longer than 24 characters is cut to 24 and written so; a prefix with a character
    // beyond 7 bits is refused by the SDK before it is sent (the suffix still goes), silently.
    void affixLongAndNonAsciiTexts() {
        auto* page = openOn<CPrefixSuffixPage>({0}, CSettingSheetDlg::PrefixSuffixTab);
        QVERIFY(page != nullptr);
        page->prefixField()->setText(QString(30, QLatin1Char('p')));
        QCOMPARE(page->prefixField()->text(), QString(24, QLatin1Char('p')));
        page->applyBox()->setChecked(true);
        confirm();
        QCOMPARE(scanners_->sim(0).state().prefix, std::string(24, 'p'));

        page = openOn<CPrefixSuffixPage>({0}, CSettingSheetDlg::PrefixSuffixTab);
        QVERIFY(page != nullptr);
        page->prefixField()->setText(QString::fromUtf8("\u00c4rger"));
        page->suffixField()->setText(QStringLiteral("\\t"));
        page->applyBox()->setChecked(true);
        scanners_->clearFrames();
        confirm();
        QVERIFY(MessageBox::shownTexts().isEmpty());
        QCOMPARE(scanners_->sim(0).state().prefix, std::string(24, 'p'));
        QCOMPARE(scanners_->sim(0).state().suffix, std::string("\t"));
        QCOMPARE(scanners_->requestCodes(0), std::vector<int>{int(zt::wire::Command::Suffix)});

        // A character without a form in any character set (a lone surrogate) stops the whole write.
        page = openOn<CPrefixSuffixPage>({0}, CSettingSheetDlg::PrefixSuffixTab);
        QVERIFY(page != nullptr);
        page->suffixField()->setText(QString(QChar(0xD800)));
        page->applyBox()->setChecked(true);
        scanners_->clearFrames();
        confirm();
        QCOMPARE(scanners_->frameCount(), 0u);
        QVERIFY(MessageBox::shownTexts().isEmpty());
    }

    void suffixCarriageReturnShowsInTheNotation() {
        scanners_->sim(0).updateState([](zt::sim::ScannerState& s) {
            s.prefix = "A\t";
            s.suffix = "\r";
        });
        auto* page = openOn<CPrefixSuffixPage>({0}, CSettingSheetDlg::PrefixSuffixTab);
        QVERIFY(page != nullptr);
        QCOMPARE(page->prefixField()->text(), QStringLiteral("A\\t"));
        QCOMPARE(page->suffixField()->text(), QStringLiteral("\\r"));
        QCOMPARE(page->helpText()->text(),
                 QStringLiteral(
                     "Use \\r for Carriage Return, \\n for Linefeed, \\t for Tab, \\\\ for a single \\ character."));
        // A 25th character is not taken.
        page->prefixField()->clear();
        QTest::keyClicks(page->prefixField(), QString(25, QLatin1Char('x')));
        QCOMPARE(page->prefixField()->text(), QString(24, QLatin1Char('x')));
        page->defaultButton()->click();
        QCOMPARE(page->prefixField()->text(), QString());
        QCOMPARE(page->suffixField()->text(), QStringLiteral("\\r"));
        sheet_->reject();
    }

    void twoScannersGetBothTextsEmptyPrefixIncluded() {
        for (int i : {0, 1}) {
            scanners_->sim(i).updateState([](zt::sim::ScannerState& s) {
                s.prefix = "OLD";
                s.suffix = "X";
            });
        }
        auto* page = openOn<CPrefixSuffixPage>({0, 1}, CSettingSheetDlg::PrefixSuffixTab);
        QVERIFY(page != nullptr);
        QCOMPARE(page->prefixField()->text(), QString());
        QCOMPARE(page->suffixField()->text(), QStringLiteral("\\r"));
        page->applyBox()->setChecked(true);
        confirm();
        for (int i : {0, 1}) {
            QCOMPARE(scanners_->sim(i).state().prefix, std::string());
            QCOMPARE(scanners_->sim(i).state().suffix, std::string("\r"));
        }
    }

    // 24 characters that need more than 24 bytes, or one without a form in the character set: the
    // whole write stops, silently.
    void overlongBytesStopTheWriteSilently() {
        auto* page = openOn<CPrefixSuffixPage>({0, 1}, CSettingSheetDlg::PrefixSuffixTab);
        QVERIFY(page != nullptr);
        page->prefixField()->setText(QString(24, QChar(0x00E9)));
        page->applyBox()->setChecked(true);
        scanners_->clearFrames();
        confirm();
        if (QStringConverter::nameForEncoding(QStringConverter::System) != QStringLiteral("ISO-8859-1")) {
            QCOMPARE(scanners_->frameCount(), 0u);
        }
        QVERIFY(MessageBox::shownTexts().isEmpty());
    }

    // Pages of several tabs write in tab order: Prefix/Suffix before Trigger.
    void pagesWriteInTabOrderOnlyWhenOpened() {
        auto* trigger = openOn<CTriggerPage>({0}, CSettingSheetDlg::TriggerTab);
        QVERIFY(trigger != nullptr);
        trigger->applyBox()->setChecked(true);
        sheet_->tabs()->setCurrentIndex(CSettingSheetDlg::PrefixSuffixTab);
        auto* affix = qobject_cast<CPrefixSuffixPage*>(sheet_->page(CSettingSheetDlg::PrefixSuffixTab));
        QTRY_VERIFY_WITH_TIMEOUT(!affix->busy(), kWait);
        affix->applyBox()->setChecked(true);
        scanners_->clearFrames();
        confirm();
        // Prefix, suffix, then the scan mode; General (opened first, unticked) wrote nothing.
        std::vector<int> codes;
        for (const auto& frame : scanners_->sim(0).frames()) {
            if (frame.header.isRequest()) codes.push_back(frame.header.code());
        }
        using zt::wire::Command;
        QCOMPARE(codes, (std::vector<int>{int(Command::Prefix), int(Command::Suffix), int(Command::ScanMode)}));
    }
};

QTEST_MAIN(TestTriggerAffixPages)
#include "test_trigger_affix_pages.moc"

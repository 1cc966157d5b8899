// The check-box list: its model (texts on demand, check states, row changes) and the header check box
// rules, driven through real mouse and key events.
#include "controls/list_ctrl_ext.h"
#include "controls/row_list_model.h"
#include "test_support.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

using namespace talvo;

namespace {

struct Scanner {
    QString name;
    QString status;
};

using ScannerModel = RowListModel<Scanner>;

std::unique_ptr<ScannerModel> makeModel(bool checkable = true) {
    return std::make_unique<ScannerModel>(
        QList<CheckListModel::Column>{{QStringLiteral("Device Name")}, {QStringLiteral("Status")}}, checkable,
        [](const Scanner& s, int column) { return column == 0 ? s.name : s.status; });
}

void addScanners(ScannerModel& model, int count) {
    for (int i = 0; i < count; ++i)
        model.addRow(model.size(),
                     std::make_unique<Scanner>(Scanner{QStringLiteral("ZT-550 %1").arg(i), "Disconnected"}));
}

QPoint sectionCentre(const QHeaderView& header, int section) {
    return {header.sectionViewportPosition(section) + header.sectionSize(section) / 2, header.height() / 2};
}

void clickSection(QHeaderView& header, int section) {
    QTest::mouseClick(header.viewport(), Qt::LeftButton, {}, sectionCentre(header, section));
}

std::vector<bool> checks(const CheckListModel& model) {
    std::vector<bool> out;
    for (int i = 0; i < model.rowCount(); ++i) out.push_back(model.isChecked(i));
    return out;
}

}  // namespace

class ListCtrlTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScannerModel> model_;
    std::unique_ptr<QAbstractItemModelTester> tester_;
    std::unique_ptr<CListCtrlExt> list_;

private slots:
    void init() {
        failOnAnyWarning();
        model_ = makeModel();
        tester_ = std::make_unique<QAbstractItemModelTester>(model_.get(),
                                                             QAbstractItemModelTester::FailureReportingMode::QtTest);
        list_ = std::make_unique<CListCtrlExt>();
        list_->setModel(model_.get());
        list_->resize(300, 200);
        list_->show();
        QVERIFY(QTest::qWaitForWindowExposed(list_.get()));
    }
    void cleanup() {
        list_.reset();
        tester_.reset();
        model_.reset();
    }

    // --- model ---

    void textsComeFromTheRowObjectsWhenAsked() {
        addScanners(*model_, 2);
        Scanner* second = model_->rowAt(1);
        QCOMPARE(model_->index(1, 1).data().toString(), QStringLiteral("Disconnected"));
        QSignalSpy changed(model_.get(), &QAbstractItemModel::dataChanged);
        second->status = QStringLiteral("Connected");
        QCOMPARE(model_->index(1, 1).data().toString(), QStringLiteral("Connected"));  // nothing cached
        QVERIFY(model_->refreshObject(second));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed[0][0].toModelIndex(), model_->index(1, 0));
        QCOMPARE(changed[0][1].toModelIndex(), model_->index(1, 1));
        Scanner stranger;
        QVERIFY(!model_->refreshObject(&stranger));
    }

    void rowsInsertAtTheTopAndKeepTheirCheckStates() {
        addScanners(*model_, 2);
        model_->setChecked(1, true);
        model_->addRow(0, std::make_unique<Scanner>(Scanner{"new", "Connecting..."}));
        QCOMPARE(model_->rowAt(0)->name, QStringLiteral("new"));
        QCOMPARE(checks(*model_), (std::vector<bool>{false, false, true}));
        std::unique_ptr<Scanner> taken = model_->takeRow(1);
        QCOMPARE(taken->name, QStringLiteral("ZT-550 0"));
        QCOMPARE(checks(*model_), (std::vector<bool>{false, true}));
        QVERIFY(model_->takeRow(5) == nullptr);
        QCOMPARE(model_->indexOf(model_->rowAt(1)), 1);
        QCOMPARE(model_->findRow([](const Scanner& s) { return s.name == "new"; }), 0);
        model_->clearRows();
        QCOMPARE(model_->rowCount(), 0);
    }

    void onlyColumnZeroOfACheckableModelIsUserCheckable() {
        addScanners(*model_, 1);
        QVERIFY(model_->flags(model_->index(0, 0)).testFlag(Qt::ItemIsUserCheckable));
        QVERIFY(!model_->flags(model_->index(0, 1)).testFlag(Qt::ItemIsUserCheckable));
        QVERIFY(!model_->index(0, 1).data(Qt::CheckStateRole).isValid());
        QVERIFY(model_->setData(model_->index(0, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(model_->isChecked(0));
        QVERIFY(!model_->setData(model_->index(0, 1), Qt::Unchecked, Qt::CheckStateRole));

        auto plain = makeModel(false);
        addScanners(*plain, 1);
        QVERIFY(!plain->index(0, 0).data(Qt::CheckStateRole).isValid());
        QVERIFY(!plain->setChecked(0, true));
        QVERIFY(!plain->isChecked(0));
    }

    // --- the list ---

    void keepsACurrentRowWheneverThereAreRows() {
        QCOMPARE(list_->currentRow(), -1);
        addScanners(*model_, 3);
        QCOMPARE(list_->currentRow(), 0);
        list_->setCurrentIndex(model_->index(2, 1));
        (void)model_->takeRow(2);
        QVERIFY(list_->currentIndex().isValid());
        model_->clearRows();
        QCOMPARE(list_->currentRow(), -1);
        addScanners(*model_, 1);
        QCOMPARE(list_->currentRow(), 0);
    }

    void spaceTogglesTheCurrentRowOnly() {
        list_->setHeaderCheck(false);
        addScanners(*model_, 3);
        list_->setFocus();
        list_->setCurrentIndex(model_->index(1, 1));  // a cell of the status column
        QTest::keyClick(list_.get(), Qt::Key_Space);
        QCOMPARE(checks(*model_), (std::vector<bool>{false, true, false}));
        QTest::keyClick(list_.get(), Qt::Key_Space);
        QCOMPARE(checks(*model_), (std::vector<bool>{false, false, false}));
        QCOMPARE(list_->headerCtrl()->checkBox(), CXHeaderCtrl::CheckBox::Unchecked);
    }

    // The keyboard alone: Up and Down move and select, Space ticks the current row, Up from the first row
    // (or Shift+Tab) reaches the header's box, where Space ticks every row and Down goes back.
    void theKeyboardAloneWorksRowsAndHeader() {
        list_->setHeaderCheck(false);
        addScanners(*model_, 3);
        QWidget before;  // a control in front of the list, as on every page
        auto* field = new QLineEdit(&before);
        list_->setParent(&before);
        auto* layout = new QVBoxLayout(&before);
        layout->addWidget(field);
        layout->addWidget(list_.get());
        before.show();
        QVERIFY(QTest::qWaitForWindowExposed(&before));
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());

        const auto selectedRows = [this] {
            std::vector<int> rows;
            for (const QModelIndex& index : list_->selectionModel()->selectedRows()) rows.push_back(index.row());
            return rows;
        };
        QTest::keyClick(field, Qt::Key_Tab);  // the header's box first
        QTRY_VERIFY(list_->headerCtrl()->hasFocus());
        QTest::keyClick(list_->headerCtrl(), Qt::Key_Tab);  // then the rows: the current one selected
        QTRY_VERIFY(list_->hasFocus());
        QCOMPARE(selectedRows(), std::vector<int>{0});
        QTest::keyClick(list_.get(), Qt::Key_Down);
        QTest::keyClick(list_.get(), Qt::Key_Down);
        QCOMPARE(list_->currentRow(), 2);
        QCOMPARE(selectedRows(), std::vector<int>{2});
        QTest::keyClick(list_.get(), Qt::Key_Space);
        QTest::keyClick(list_.get(), Qt::Key_Up);
        QCOMPARE(selectedRows(), std::vector<int>{1});
        QCOMPARE(checks(*model_), (std::vector<bool>{false, false, true}));

        QTest::keyClick(list_.get(), Qt::Key_Up);
        QTest::keyClick(list_.get(), Qt::Key_Up);  // above the first row: the header's box
        QTRY_VERIFY(list_->headerCtrl()->hasFocus());
        QTest::keyClick(list_->headerCtrl(), Qt::Key_Space);
        QCOMPARE(checks(*model_), (std::vector<bool>{true, true, true}));
        QCOMPARE(list_->headerCtrl()->checkBox(), CXHeaderCtrl::CheckBox::Checked);
        QTest::keyClick(list_->headerCtrl(), Qt::Key_Space);
        QCOMPARE(checks(*model_), (std::vector<bool>{false, false, false}));
        QTest::keyClick(list_->headerCtrl(), Qt::Key_Down);
        QTRY_VERIFY(list_->hasFocus());
        QCOMPARE(selectedRows(), std::vector<int>{0});
        QTest::keyClick(list_.get(), Qt::Key_Backtab);
        QTRY_VERIFY(list_->headerCtrl()->hasFocus());
        list_->setParent(nullptr);
    }

    // A list without the header's box keeps the keyboard in the rows.
    void withoutAHeaderBoxUpStaysInTheRows() {
        addScanners(*model_, 2);
        list_->setFocus();
        QTRY_VERIFY(list_->hasFocus());
        QTest::keyClick(list_.get(), Qt::Key_Up);
        QVERIFY(list_->hasFocus());
        QCOMPARE(list_->currentRow(), 0);
        QCOMPARE(list_->headerCtrl()->focusPolicy(), Qt::NoFocus);
    }

    // --- header check box rules ---

    void headerShowsNoBoxAndIgnoresClicksUntilTheListAsksForIt() {
        addScanners(*model_, 2);
        QCOMPARE(list_->headerCtrl()->checkBox(), CXHeaderCtrl::CheckBox::None);
        clickSection(*list_->horizontalHeader(), 0);
        QCOMPARE(list_->headerCtrl()->checkBox(), CXHeaderCtrl::CheckBox::None);
        QCOMPARE(checks(*model_), (std::vector<bool>{false, false}));
    }

    void aClickOnAnySectionFlipsTheHeaderAndSetsEveryRow() {
        list_->setHeaderCheck(false);
        addScanners(*model_, 3);
        model_->setChecked(1, true);
        QSignalSpy toggled(list_.get(), &CListCtrlExt::headerCheckToggled);
        clickSection(*list_->horizontalHeader(), 1);
        QCOMPARE(list_->headerCtrl()->checkBox(), CXHeaderCtrl::CheckBox::Checked);
        QVERIFY(list_->allChecked());
        QCOMPARE(checks(*model_), (std::vector<bool>{true, true, true}));
        clickSection(*list_->horizontalHeader(), 0);
        QCOMPARE(list_->headerCtrl()->checkBox(), CXHeaderCtrl::CheckBox::Unchecked);
        QCOMPARE(checks(*model_), (std::vector<bool>{false, false, false}));
        QCOMPARE(toggled.count(), 2);
        QCOMPARE(toggled[0][0].toBool(), true);
        QCOMPARE(toggled[1][0].toBool(), false);
    }

    void aClickOnAnEmptyListOnlyFlipsTheHeader() {
        list_->setHeaderCheck(false);
        clickSection(*list_->horizontalHeader(), 0);
        QCOMPARE(list_->headerCtrl()->checkBox(), CXHeaderCtrl::CheckBox::Checked);
        QCOMPARE(model_->rowCount(), 0);
        addScanners(*model_, 1);  // a row added later comes unchecked; the header is not consulted
        QVERIFY(!model_->isChecked(0));
    }

    void tickingEveryRowByHandLeavesTheHeaderAndTheNextClickTicksAll() {
        list_->setHeaderCheck(false);
        addScanners(*model_, 2);
        model_->setChecked(0, true);
        model_->setChecked(1, true);
        QCOMPARE(list_->headerCtrl()->checkBox(), CXHeaderCtrl::CheckBox::Unchecked);
        clickSection(*list_->horizontalHeader(), 0);
        QCOMPARE(list_->headerCtrl()->checkBox(), CXHeaderCtrl::CheckBox::Checked);
        QCOMPARE(checks(*model_), (std::vector<bool>{true, true}));
    }

    void setHeaderCheckChangesNoRow() {
        addScanners(*model_, 2);
        list_->setHeaderCheck(true);
        QVERIFY(list_->allChecked());
        QCOMPARE(checks(*model_), (std::vector<bool>{false, false}));
        clickSection(*list_->horizontalHeader(), 0);  // flips from the flag: all unticked
        QCOMPARE(checks(*model_), (std::vector<bool>{false, false}));
        QCOMPARE(list_->headerCtrl()->checkBox(), CXHeaderCtrl::CheckBox::Unchecked);
    }

    void aDoubleClickIsTwoClicks() {
        list_->setHeaderCheck(false);
        addScanners(*model_, 1);
        QWidget* viewport = list_->horizontalHeader()->viewport();
        const QPointF at = sectionCentre(*list_->horizontalHeader(), 1);
        const QPointF global = viewport->mapToGlobal(at);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                        QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            const bool release = type == QEvent::MouseButtonRelease;
            QMouseEvent event(type, at, global, Qt::LeftButton, release ? Qt::NoButton : Qt::LeftButton, {});
            QCoreApplication::sendEvent(viewport, &event);
        }
        QCOMPARE(list_->headerCtrl()->checkBox(), CXHeaderCtrl::CheckBox::Unchecked);
        QVERIFY(!model_->isChecked(0));
    }

    void screenshot() {
        list_->setHeaderCheck(false);
        addScanners(*model_, 3);
        model_->setChecked(1, true);
        saveScreenshot(*list_, QStringLiteral("list-unchecked-header"));
        clickSection(*list_->horizontalHeader(), 1);
        saveScreenshot(*list_, QStringLiteral("list-checked-header"));
    }
};

QTEST_MAIN(ListCtrlTest)
#include "list_ctrl_test.moc"

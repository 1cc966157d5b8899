// What assistive technologies read: the list's cells with their check states and the header check
// box, the notice text and the About lines. A full walk of every accessible interface, while rows come
// and go and the current row is removed, must neither crash nor warn.
#include "controls/gradient_progress_ctrl.h"
#include "controls/list_ctrl_ext.h"
#include "controls/notice_dlg.h"
#include "controls/row_list_model.h"
#include "pages/about/about_page.h"

#include <QAccessible>
#include "test_support.h"

#include <QTest>
#include <QTestAccessibility>
#include <QVBoxLayout>

#include <memory>

using namespace talvo;

namespace {

struct Scanner {
    QString name;
};
using ScannerModel = RowListModel<Scanner>;

// Visits every interface below `iface` and asks it everything a screen reader asks; counts them.
void walkInto(QAccessibleInterface* iface, int& seen, int depth) {
    if (iface == nullptr || depth > 20) return;
    QVERIFY(iface->isValid());
    ++seen;
    (void)iface->role();
    (void)iface->state();
    (void)iface->rect();
    for (const QAccessible::Text t :
         {QAccessible::Name, QAccessible::Description, QAccessible::Value, QAccessible::Help})
        (void)iface->text(t);
    if (QAccessibleActionInterface* actions = iface->actionInterface()) (void)actions->actionNames();
    if (QAccessibleTableInterface* table = iface->tableInterface()) {
        for (int r = 0; r < table->rowCount(); ++r)
            for (int c = 0; c < table->columnCount(); ++c) {
                QAccessibleInterface* cell = table->cellAt(r, c);
                if (cell == nullptr) continue;
                if (QAccessibleTableCellInterface* ci = cell->tableCellInterface()) {
                    QCOMPARE(ci->rowIndex(), r);
                    QCOMPARE(ci->columnIndex(), c);
                    (void)ci->isSelected();
                    // columnHeaderCells()/rowHeaderCells() are left out: Qt 6.4 hands out new interfaces there
                    // that nobody owns, which the leak checker of the sanitizer build reports.
                }
            }
        (void)table->selectedCells();
        (void)table->caption();
    }
    (void)iface->focusChild();
    const int n = iface->childCount();
    for (int i = 0; i < n; ++i) {
        QAccessibleInterface* child = iface->child(i);
        if (child == nullptr) continue;
        QVERIFY2(iface->indexOfChild(child) == i,
                 qPrintable(QStringLiteral("child %1 (%2 '%3') of %4 '%5' has index %6")
                                .arg(i)
                                .arg(int(child->role()))
                                .arg(child->text(QAccessible::Name))
                                .arg(int(iface->role()))
                                .arg(iface->object() ? iface->object()->metaObject()->className() : "-")
                                .arg(iface->indexOfChild(child))));
        QCOMPARE(child->parent(), iface);
        walkInto(child, seen, depth + 1);
    }
}

int walk(QAccessibleInterface* iface) {
    int seen = 0;
    walkInto(iface, seen, 0);
    return seen;
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> window_;
    std::unique_ptr<ScannerModel> model_;
    CListCtrlExt* list_ = nullptr;
    CNoticeDlg* notice_ = nullptr;
    CAboutPage* about_ = nullptr;

    // The recorder keeps copies of the events it saw and leaves deleting them to its user.
    static void forgetEvents() {
        qDeleteAll(QTestAccessibility::events());
        QTestAccessibility::clearEvents();
    }

    [[nodiscard]] QAccessibleInterface* listIface() const { return QAccessible::queryAccessibleInterface(list_); }
    // The n-th column header cell among the list's children.
    [[nodiscard]] QAccessibleInterface* columnHeader(int n) const {
        QAccessibleInterface* table = listIface();
        for (int i = 0; i < table->childCount(); ++i) {
            QAccessibleInterface* child = table->child(i);
            if (child != nullptr && child->role() == QAccessible::ColumnHeader && n-- == 0) return child;
        }
        return nullptr;
    }

private slots:
    void initTestCase() {
        QTestAccessibility::initialize();
        // Run under a desktop session with the accessibility bus (TALVO_A11Y_ACTIVE=1), the same checks go
        // through Qt's active bridge, as with a screen reader.
        if (qEnvironmentVariableIntValue("TALVO_A11Y_ACTIVE") == 1) {
            QWidget probe;
            probe.show();
            QTRY_VERIFY_WITH_TIMEOUT(QAccessible::isActive(), 10000);
        }
    }
    void cleanupTestCase() {
        forgetEvents();
        QTestAccessibility::cleanup();
    }

    void init() {
        failOnAnyWarning();
        model_ = std::make_unique<ScannerModel>(
            QList<CheckListModel::Column>{{QStringLiteral("Device Name")}, {QStringLiteral("Status")}}, true,
            [](const Scanner& s, int column) { return column == 0 ? s.name : QStringLiteral("Disconnected"); });
        window_ = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window_.get());
        list_ = new CListCtrlExt;
        list_->setModel(model_.get());
        list_->setHeaderCheck(false);
        notice_ = new CNoticeDlg(window_.get());
        about_ = new CAboutPage;
        auto* bar = new CGradientProgressCtrl;
        layout->addWidget(list_);
        layout->addWidget(notice_);
        layout->addWidget(about_);
        layout->addWidget(bar);
        window_->resize(400, 600);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }
    void cleanup() {
        window_.reset();
        model_.reset();
        forgetEvents();
    }

    void cellsExposeTextsAndCheckStates() {
        model_->addRow(0, std::make_unique<Scanner>(Scanner{"ZT-550 A"}));
        model_->addRow(1, std::make_unique<Scanner>(Scanner{"ZT-550 B"}));
        model_->setChecked(1, true);
        QAccessibleTableInterface* table = listIface()->tableInterface();
        QVERIFY(table != nullptr);
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->columnCount(), 2);
        QCOMPARE(table->cellAt(0, 0)->text(QAccessible::Name), QStringLiteral("ZT-550 A"));
        QCOMPARE(table->cellAt(1, 1)->text(QAccessible::Name), QStringLiteral("Disconnected"));
        QVERIFY(table->cellAt(0, 0)->state().checkable);
        QVERIFY(!table->cellAt(0, 0)->state().checked);
        QVERIFY(table->cellAt(1, 0)->state().checked);
    }

    void headerCellTellsTheHeaderCheckBoxState() {
        QAccessibleInterface* first = columnHeader(0);
        QVERIFY(first != nullptr);
        QCOMPARE(first->text(QAccessible::Name), QStringLiteral("Device Name"));
        QCOMPARE(first->text(QAccessible::Description), QStringLiteral("unchecked"));
        list_->toggleHeaderCheck();
        QCOMPARE(columnHeader(0)->text(QAccessible::Description), QStringLiteral("checked"));
        QCOMPARE(columnHeader(1)->text(QAccessible::Name), QStringLiteral("Status"));
        QCOMPARE(columnHeader(1)->text(QAccessible::Description), QString());
    }

    void noticeTextAndAboutLinesAreReadable() {
        notice_->setText(QStringLiteral("Downloading...\r\nZT-550 A    Done!"));
        QAccessibleInterface* notice = QAccessible::queryAccessibleInterface(notice_);
        QCOMPARE(notice->role(), QAccessible::StaticText);
        QCOMPARE(notice->text(QAccessible::Name), QStringLiteral("Downloading...\nZT-550 A    Done!"));
        QCOMPARE(notice->childCount(), 2);
        QCOMPARE(notice->child(1)->text(QAccessible::Name), QStringLiteral("ZT-550 A    Done!"));
        if (QAccessible::isActive()) {  // events reach clients only through an active bridge
            QAccessibleEvent named(notice_, QAccessible::NameChanged);
            QVERIFY(QTestAccessibility::containsEvent(&named));
        }

        QAccessibleInterface* about = QAccessible::queryAccessibleInterface(about_);
        QCOMPARE(about->text(QAccessible::Name), QStringLiteral("About"));
        QCOMPARE(about->childCount(), 5);
        QCOMPARE(about->child(0)->text(QAccessible::Name), QStringLiteral("Talvo Scan"));
        QCOMPARE(about->child(1)->text(QAccessible::Name), QStringLiteral("Version 1.2"));
        QCOMPARE(about->child(1)->role(), QAccessible::StaticText);
        const QRect line = about->child(0)->rect();
        QCOMPARE(about->childAt(line.center().x(), line.center().y()), about->child(0));
    }

    void walkingTheWindowWhileRowsChange() {
        QAccessibleInterface* root = QAccessible::queryAccessibleInterface(window_.get());
        QVERIFY(walk(root) > 0);  // an empty list
        list_->setFocus();
        for (int i = 0; i < 5; ++i) model_->addRow(0, std::make_unique<Scanner>(Scanner{QStringLiteral("S%1").arg(i)}));
        QVERIFY(walk(root) > 5);
        list_->setCurrentIndex(model_->index(4, 1));
        QTest::keyClick(list_, Qt::Key_Space);
        QVERIFY(walk(root) > 5);
        (void)model_->takeRow(4);  // the current row goes
        QVERIFY(walk(root) > 5);
        (void)model_->takeRow(0);
        QAccessibleTableInterface* table = listIface()->tableInterface();
        for (int r = 0; r < model_->rowCount(); ++r)  // cells read earlier stand for the rows now there
            QCOMPARE(table->cellAt(r, 0)->text(QAccessible::Name), model_->rowAt(r)->name);
        QTest::keyClick(list_, Qt::Key_Up);
        model_->clearRows();
        QVERIFY(walk(root) > 0);
        QTest::keyClick(list_, Qt::Key_Down);  // keys on an empty list
        QTest::keyClick(list_, Qt::Key_Space);
        model_->addRow(0, std::make_unique<Scanner>(Scanner{"again"}));
        QVERIFY(walk(root) > 1);
        QAccessibleInterface* focused = listIface()->focusChild();
        QVERIFY(focused != nullptr);
        QCOMPARE(focused->text(QAccessible::Name), QStringLiteral("again"));
        for (int i = 0; i < 3; ++i) model_->refreshRow(0);
        QVERIFY(walk(root) > 1);
    }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"

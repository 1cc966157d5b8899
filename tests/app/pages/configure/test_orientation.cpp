// Laying out again when the screen turns: the orientation watcher of app/controls, and the Configure
// page, the settings sheet and its pages that use it. An offscreen screen cannot turn, so the tests emit
// the screen's own signals (the path Qt takes when the window system reports a turn) or hand the watcher
// an orientation.
#include "config_fixture.h"
#include "controls/layout_factor.h"
#include "controls/list_ctrl_ext.h"
#include "controls/orientation_watcher.h"
#include "pages/configure/configure_page.h"
#include "pages/configure/sheet/config_tab_page.h"
#include "pages/configure/sheet/setting_sheet_dlg.h"
#include "pages/configure/sheet/symbology_page.h"

#include <QCheckBox>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QtTest>

using talvo::OrientationWatcher;
using talvo::config::test::ConnectedSource;

namespace {

[[nodiscard]] Qt::ScreenOrientation turned(Qt::ScreenOrientation now) {
    return now == Qt::PortraitOrientation ? Qt::LandscapeOrientation : Qt::PortraitOrientation;
}

}  // namespace

class TestOrientation : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { talvo::setLayoutFactorOverride(0); }

    void watcherLaysOutOnlyWhenTheOrientationDiffers() {
        QWidget page;
        int layouts = 0;
        auto* watcher = new OrientationWatcher(&page, [&layouts] { ++layouts; });
        QScreen* screen = page.screen();
        QVERIFY(screen != nullptr);
        const Qt::ScreenOrientation start = screen->orientation();
        QCOMPARE(watcher->orientation(), start);

        watcher->noteOrientation(start);
        QCOMPARE(layouts, 0);
        emit screen->orientationChanged(turned(start));
        QCOMPARE(layouts, 1);
        QCOMPARE(watcher->orientation(), turned(start));
        emit screen->orientationChanged(turned(start));  // told twice: one layout
        QCOMPARE(layouts, 1);
        // A turned geometry: the watcher asks the screen, which still stands as at the start.
        emit screen->primaryOrientationChanged(screen->primaryOrientation());
        QCOMPARE(layouts, 2);
        QCOMPARE(watcher->orientation(), start);

        // Shown (or activated) with another orientation than at its last layout: laid out again.
        watcher->noteOrientation(turned(start));
        QCOMPARE(layouts, 3);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QCOMPARE(layouts, 4);
        QCOMPARE(watcher->orientation(), start);
        page.hide();
        page.show();  // nothing changed meanwhile
        QCOMPARE(layouts, 4);
    }

    // A turn with a new layout factor: the Configure page, the sheet and its opened pages take the new
    // sizes (margins, the apply box, the Symbology column).
    void pagesTakeTheNewFactorWhenTheScreenTurns() {
        talvo::setLayoutFactorOverride(1);
        QWidget window;
        ConnectedSource source;
        DeviceRecord first(1, L"A");
        DeviceRecord second(2, L"B");
        source.records = {&first, &second};
        auto* page = new CConfigurePage(&window);
        page->setConnectedSource(&source);
        window.show();
        for (DeviceRecord* record : source.records) {
            page->rows()->addRow(
                0, std::make_unique<CConfigurePage::Row>(CConfigurePage::Row{record->port, record->name}));
            page->rows()->setChecked(0, true);
        }
        QCOMPARE(page->configureSelected(), 2);
        CSettingSheetDlg* sheet = page->settingSheet();
        sheet->tabs()->setCurrentIndex(CSettingSheetDlg::SymbologyTab);
        auto* general = sheet->page(CSettingSheetDlg::GeneralTab);
        auto* symbology = qobject_cast<talvo::config::CSymbologyPage*>(sheet->page(CSettingSheetDlg::SymbologyTab));
        QVERIFY(general->isOpened() && symbology->isOpened());
        QCOMPARE(general->applyBox()->geometry(), QRect(5, 4, 145, 18));
        QCOMPARE(symbology->list()->columnWidth(0), 100);
        QCOMPARE(page->configureButton()->minimumHeight(), 30);
        QCOMPARE(sheet->layout()->contentsMargins().left(), 5);

        talvo::setLayoutFactorOverride(2);
        QScreen* screen = sheet->screen();
        emit screen->orientationChanged(turned(screen->orientation()));
        QCOMPARE(general->applyBox()->geometry(), QRect(10, 8, 290, 36));
        QCOMPARE(symbology->list()->columnWidth(0), 200);
        QCOMPARE(page->configureButton()->minimumHeight(), 60);
        QCOMPARE(page->layout()->contentsMargins().top(), 20);
        QCOMPARE(sheet->layout()->contentsMargins().left(), 10);
        QCOMPARE(general->layout()->contentsMargins().top(), 52);
        sheet->reject();
    }
};

QTEST_MAIN(TestOrientation)
#include "test_orientation.moc"

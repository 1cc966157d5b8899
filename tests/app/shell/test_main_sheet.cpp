// The main sheet: its window, tabs and OK button, hiding instead of closing, the working copy of the
// settings and the messages it answers, the orderly end, and an assistive client reading all of it.
#include "connection/connection_manager.h"
#include "messages/app_messages.h"
#include "messages/main_sheet_ref.h"
#include "pages/connect/connect_page.h"
#include "pages/download/download_page.h"
#include "pages/setting/setting_page.h"
#include "shell/main_sheet_dlg.h"
#include "support/sheet_rig.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include <vector>

using talvo::AppMessage;
using talvo::SettingKind;

namespace {

QString settingsFile() { return QSettings(QStringLiteral("TalvoScan"), QStringLiteral("TalvoScan")).fileName(); }

talvo::MessageArg send(CMainSheetDlg& sheet, AppMessage message, talvo::MessageArg first, talvo::MessageArg second) {
    const std::optional<talvo::MessageReply> reply = talvo::sendMessage(&sheet, message, first, second);
    return reply ? reply->result : -1;
}

// Collects warnings while an accessible client walks the windows.
QStringList& warnings() {
    static QStringList list;
    return list;
}
void collectWarnings(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtDebugMsg && type != QtInfoMsg && !text.contains(QLatin1String("propagateSizeHints")) &&
        !text.contains(QLatin1String("does not support raise")))
        warnings().append(text);
}

// Reads every node as a screen reader does: names, values, descriptions, and each table cell.
int walk(QAccessibleInterface* node, int depth = 0) {
    if (node == nullptr || depth > 40) return 0;
    int visited = 1;
    (void)node->text(QAccessible::Name);
    (void)node->text(QAccessible::Value);
    (void)node->text(QAccessible::Description);
    (void)node->role();
    (void)node->state();
    if (QAccessibleTableInterface* table = node->tableInterface()) {
        for (int row = 0; row < table->rowCount(); ++row)
            for (int column = 0; column < table->columnCount(); ++column)
                if (QAccessibleInterface* cell = table->cellAt(row, column)) (void)cell->text(QAccessible::Name);
        (void)table->selectedCells();
    }
    for (int i = 0; i < node->childCount(); ++i) visited += walk(node->child(i), depth + 1);
    return visited;
}

}  // namespace

class TestMainSheet : public QObject {
    Q_OBJECT

private slots:
    void init() { QFile::remove(settingsFile()); }

    void windowTabsAndButton() {
        CMainSheetDlg sheet;
        QCOMPARE(sheet.windowTitle(), QStringLiteral("TalvoScan"));
        QVERIFY(sheet.isWindow());
        QTabWidget* tabs = sheet.tabs();
        QCOMPARE(sheet.findChildren<QTabWidget*>(Qt::FindDirectChildrenOnly).size(), 1);
        const QStringList expected{"Connect", "Download", "Setting", "Configure", "About"};
        QCOMPARE(tabs->count(), expected.size());
        for (int i = 0; i < tabs->count(); ++i) QCOMPARE(tabs->tabText(i), expected[i]);
        QCOMPARE(tabs->widget(CMainSheetDlg::SettingTab), static_cast<QWidget*>(sheet.settingPage()));
        QPushButton* ok = sheet.okButton();
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(ok->accessibleName(), QStringLiteral("OK"));
        QVERIFY(!tabs->isAncestorOf(ok));
        QCOMPARE(talvo::mainSheet(), static_cast<QObject*>(&sheet));
    }

    void okCloseEscapeAndF4HideAndShowingBringsItBack() {
        CMainSheetDlg sheet;
        auto showAgain = [&sheet] {
            sheet.showInFront();
            QVERIFY(QTest::qWaitForWindowExposed(&sheet));
        };
        showAgain();
        sheet.okButton()->click();
        QVERIFY(!sheet.isVisible());
        showAgain();
        QVERIFY(!sheet.close());  // the close button: refused, hidden
        QVERIFY(!sheet.isVisible());
        showAgain();
        QTest::keyClick(&sheet, Qt::Key_F4);
        QVERIFY(!sheet.isVisible());
        showAgain();
        QTest::keyClick(sheet.tabs(), Qt::Key_Escape);
        QVERIFY(!sheet.isVisible());
        showAgain();
        QCOMPARE(sheet.result(), 0);
        QCOMPARE(sheet.tabs()->count(), 5);  // nothing was torn down by hiding
    }

    void becomingActiveShowsTheHiddenSheet() {
        CMainSheetDlg sheet;
        sheet.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
        sheet.hideSheet();
        QVERIFY(!sheet.isVisible());
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&sheet, &activate);
        QVERIFY(sheet.isVisible());
    }

    void ctrlQAsksToEnd() {
        CMainSheetDlg sheet;
        sheet.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
        QSignalSpy quit(&sheet, &CMainSheetDlg::quitRequested);
        QTest::keyClick(sheet.tabs(), Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(quit.size(), 1);
    }

    void settingChangedStoresEachKind_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("value");
        QTest::newRow("ConnectRetry") << 0 << 7;
        QTest::newRow("TimeStamp") << 2 << 1;
        QTest::newRow("RealTime") << 3 << 0;
        QTest::newRow("TimeSync") << 4 << 0;
        QTest::newRow("Sound") << 5 << 1;
        QTest::newRow("TimeStampOfDownData") << 6 << 0;
    }
    void settingChangedStoresEachKind() {
        QFETCH(int, kind);
        QFETCH(int, value);
        CMainSheetDlg sheet;
        QCOMPARE(send(sheet, AppMessage::SettingChanged, kind, value), talvo::MessageArg{1});
        QCOMPARE(sheet.settings().value(static_cast<SettingKind>(kind)), value);
        if (kind == 6) QCOMPARE(sheet.downloadPage()->timeStampOfDownData(), value);
    }

    void settingChangedIgnoresIconTrayAndUnknownKinds() {
        CMainSheetDlg sheet;
        const talvo::AppSettings before = sheet.settings().snapshot();
        QCOMPARE(send(sheet, AppMessage::SettingChanged, 1, 0), talvo::MessageArg{1});
        QCOMPARE(send(sheet, AppMessage::SettingChanged, 7, 0), talvo::MessageArg{1});
        QCOMPARE(send(sheet, AppMessage::SettingChanged, -1, 0), talvo::MessageArg{1});
        QVERIFY(sheet.settings().snapshot() == before);
    }

    void aChangeOnTheSettingPageReachesTheWorkingCopy() {
        CMainSheetDlg sheet;
        QCOMPARE(sheet.settings().value(SettingKind::RealTime), 1);
        for (QCheckBox* box : sheet.settingPage()->findChildren<QCheckBox*>())
            if (box->text() == QLatin1String("Auto Real-time mode")) box->click();
        // Posted, so it arrives with the event loop.
        QTRY_COMPARE(sheet.settings().value(SettingKind::RealTime), 0);
    }

    void theWorkingCopyStartsFromTheStoredSettings() {
        {
            QSettings settings(QStringLiteral("TalvoScan"), QStringLiteral("TalvoScan"));
            settings.setValue(QStringLiteral("Setting/ConnectRetry"), 9);
            settings.setValue(QStringLiteral("Setting/TimeStampOfDownData"), 0);
        }
        CMainSheetDlg sheet;
        QCOMPARE(sheet.settings().connectRetry(), 9);
        QCOMPARE(sheet.downloadPage()->timeStampOfDownData(), 0);
    }

    void getConnectedWithNoScannersGivesNone() {
        CMainSheetDlg sheet;
        std::vector<DeviceRecord*> out(16, nullptr);
        QCOMPARE(send(sheet, AppMessage::GetConnected, 16, talvo::pointerArg(out.data())), talvo::MessageArg{0});
        // A capacity beyond the limit or below zero is no licence to write past the array.
        QCOMPARE(send(sheet, AppMessage::GetConnected, -5, talvo::pointerArg(out.data())), talvo::MessageArg{0});
        QCOMPARE(send(sheet, AppMessage::GetConnected, 16, 0), talvo::MessageArg{0});
    }

    void shutdownWritesTheSettingsAndIsIdempotent() {
        CMainSheetDlg sheet;
        QCOMPARE(send(sheet, AppMessage::SettingChanged, 0, 5), talvo::MessageArg{1});
        (void)talvo::sendMessage(sheet.settingPage(), AppMessage::DeviceEvent, 0, 0);  // pages take events
        sheet.shutdown();
        QVERIFY(sheet.connectionManager() == nullptr);
        QCOMPARE(sheet.tabs()->count(), 0);
        QVERIFY(QFile::exists(settingsFile()));
        sheet.shutdown();
        // Messages after the end are answered without a manager.
        QCOMPARE(send(sheet, AppMessage::GetConnected, 16, 0), talvo::MessageArg{0});
    }

    void anAccessibleClientReadsEverythingWithoutAWarning() {
        // Three paired scanners, so that the Connect page's table has rows to read.
        const QString registry = qEnvironmentVariable("ZT_REGISTRY");
        QVERIFY(!registry.isEmpty());
        QVERIFY(talvo::test::writeScannerRegistry(registry, {5, 6, 7}));
        const auto removeRegistry = qScopeGuard([&registry] { QFile::remove(registry); });
        QAccessible::setActive(true);
        warnings().clear();
        const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
        {
            CMainSheetDlg sheet;
            sheet.show();
            QVERIFY(QTest::qWaitForWindowExposed(&sheet));
            QAbstractItemView* list = sheet.connectPage()->findChild<QAbstractItemView*>();
            QTRY_COMPARE(list->model()->rowCount(), 3);
            QAccessibleInterface* root = QAccessible::queryAccessibleInterface(&sheet);
            QCOMPARE(root->text(QAccessible::Name), QStringLiteral("TalvoScan"));
            for (int tab = 0; tab < sheet.tabs()->count(); ++tab) {
                sheet.tabs()->setCurrentIndex(tab);
                QVERIFY(walk(root) > 5);
            }
        }
        qInstallMessageHandler(previous);
        QVERIFY2(warnings().isEmpty(), qPrintable(warnings().join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestMainSheet)
#include "test_main_sheet.moc"

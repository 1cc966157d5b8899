// The Setting page as a user and an assistive technology see it: its controls and their names, the
// spin arrows and their clamps, the "Time Stamp" rule, the time choice, the reports of every change,
// the manual time it hands out, and the settings it writes at its end.
#include "controls/spin_arrows.h"
#include "messages/app_messages.h"
#include "pages/setting/setting_page.h"

#include "support/sheet_rig.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

using talvo::AppSettings;
using talvo::SettingKind;

namespace {

template <typename T>
T* named(QWidget& page, const QString& name) {
    return talvo::test::findNamed<T>(&page, name);
}

QString settingsFile() { return QSettings(QStringLiteral("TalvoScan"), QStringLiteral("TalvoScan")).fileName(); }

}  // namespace

class TestSettingPage : public QObject {
    Q_OBJECT

private slots:
    void init() { QFile::remove(settingsFile()); }

    void firstStartShowsTheDefaults() {
        CSettingPage page;
        page.show();
        QCOMPARE(named<QLineEdit>(page, "Auto re-connect")->text(), QStringLiteral("3"));
        QVERIFY(named<QCheckBox>(page, "Auto Real-time mode")->isChecked());
        QCheckBox* stamp = named<QCheckBox>(page, "Time Stamp");
        QVERIFY(!stamp->isChecked());
        QVERIFY(stamp->isEnabled());
        QVERIFY(named<QRadioButton>(page, "Time Sync")->isChecked());
        QVERIFY(!named<QRadioButton>(page, "Hands On")->isChecked());
        QVERIFY(named<QLineEdit>(page, "Time Setting")->text().isEmpty());
        QVERIFY(named<QCheckBox>(page, "Time Stamp of Download Data")->isChecked());
    }

    void theControlsWithoutEffectAreHidden() {
        CSettingPage page;
        page.show();
        for (const char* name : {"Display Icon in System Tray", "App Sound On/Off", "PDA Bluetooth On/Off"})
            QVERIFY2(named<QCheckBox>(page, name)->isHidden(), name);
        QVERIFY(named<QComboBox>(page, "Sound Volume")->isHidden());
        QVERIFY(named<QLineEdit>(page, "Auto re-connect")->isVisible());
        QVERIFY(named<talvo::SpinArrows>(page, "Auto re-connect")->isVisible());
    }

    void theArrowsStandRightOfTheFieldWithoutABuddy() {
        CSettingPage page;
        page.resize(400, 300);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        auto* field = named<QLineEdit>(page, "Auto re-connect");
        auto* arrows = named<talvo::SpinArrows>(page, "Auto re-connect");
        QVERIFY(arrows->geometry().left() >= field->geometry().right());
        QVERIFY(arrows->geometry().top() < field->geometry().bottom());
        QVERIFY(arrows->geometry().bottom() > field->geometry().top());
    }

    void theArrowsClampAndReportEveryStep() {
        AppSettings start;
        start.setValue(SettingKind::ConnectRetry, 0);
        CSettingPage page(start, nullptr);
        QSignalSpy changes(&page, &CSettingPage::settingChanged);
        auto* arrows = named<talvo::SpinArrows>(page, "Auto re-connect");
        auto* field = named<QLineEdit>(page, "Auto re-connect");
        arrows->stepBy(-1);
        QCOMPARE(field->text(), QStringLiteral("0"));
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.at(0), (QVariantList{0, 0}));
        arrows->stepBy(25);
        QCOMPARE(field->text(), QStringLiteral("10"));
        arrows->stepBy(1);
        QCOMPARE(field->text(), QStringLiteral("10"));
        QCOMPARE(page.settings().value(SettingKind::ConnectRetry), 10);
        QCOMPARE(changes.last(), (QVariantList{0, 10}));
        arrows->stepBy(std::numeric_limits<int>::min());
        QCOMPARE(field->text(), QStringLiteral("0"));
    }

    void typedTextIsNotRead() {
        CSettingPage page;
        page.show();
        auto* field = named<QLineEdit>(page, "Auto re-connect");
        field->clear();
        QTest::keyClicks(field, "8");
        QCOMPARE(page.settings().value(SettingKind::ConnectRetry), 3);
        // The next arrow step goes on from the arrows' position (3), not from the typed 8.
        QTest::keyClick(named<talvo::SpinArrows>(page, "Auto re-connect"), Qt::Key_Up);
        QCOMPARE(field->text(), QStringLiteral("4"));
        QCOMPARE(page.settings().value(SettingKind::ConnectRetry), 4);
    }

    void assistiveTechnologiesStepTheArrows() {
        QAccessible::setActive(true);
        CSettingPage page;
        page.show();
        QAccessibleInterface* arrows =
            QAccessible::queryAccessibleInterface(named<talvo::SpinArrows>(page, "Auto re-connect"));
        QVERIFY(arrows != nullptr);
        QCOMPARE(arrows->text(QAccessible::Name), QStringLiteral("Auto re-connect"));
        QAccessibleActionInterface* actions = arrows->actionInterface();
        QVERIFY(actions != nullptr);
        QVERIFY2(actions->actionNames().contains(QAccessibleActionInterface::increaseAction()),
                 qPrintable(actions->actionNames().join(",")));
        actions->doAction(QAccessibleActionInterface::increaseAction());
        QCOMPARE(named<QLineEdit>(page, "Auto re-connect")->text(), QStringLiteral("4"));
        actions->doAction(QAccessibleActionInterface::decreaseAction());
        actions->doAction(QAccessibleActionInterface::decreaseAction());
        QCOMPARE(page.settings().value(SettingKind::ConnectRetry), 2);
    }

    void timeStampIsEnabledExactlyWithRealTimeMode() {
        CSettingPage page;
        QSignalSpy changes(&page, &CSettingPage::settingChanged);
        auto* stamp = named<QCheckBox>(page, "Time Stamp");
        auto* realTime = named<QCheckBox>(page, "Auto Real-time mode");
        stamp->setChecked(true);
        realTime->setChecked(false);
        QVERIFY(!stamp->isEnabled());
        QVERIFY(stamp->isChecked());  // disabled, value kept
        QCOMPARE(page.settings().value(SettingKind::TimeStamp), 1);
        QCOMPARE(page.settings().value(SettingKind::RealTime), 0);
        realTime->setChecked(true);
        QVERIFY(stamp->isEnabled());
        QCOMPARE(changes.size(), 3);
        QCOMPARE(changes.at(0), (QVariantList{2, 1}));
        QCOMPARE(changes.at(1), (QVariantList{3, 0}));
        QCOMPARE(changes.at(2), (QVariantList{3, 1}));
    }

    void startingWithRealTimeOffDisablesTimeStamp() {
        AppSettings start;
        start.setValue(SettingKind::RealTime, 0);
        CSettingPage page(start, nullptr);
        QVERIFY(!named<QCheckBox>(page, "Time Stamp")->isEnabled());
    }

    void theTimeChoiceReportsOnceEachWay() {
        CSettingPage page;
        QSignalSpy changes(&page, &CSettingPage::settingChanged);
        named<QRadioButton>(page, "Hands On")->click();
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.at(0), (QVariantList{4, 0}));
        named<QRadioButton>(page, "Time Sync")->setChecked(true);  // what an assistive toggle does
        QCOMPARE(changes.size(), 2);
        QCOMPARE(changes.at(1), (QVariantList{4, 1}));
        named<QCheckBox>(page, "Time Stamp of Download Data")->toggle();
        QCOMPARE(changes.last(), (QVariantList{6, 0}));
    }

    void handsOnAtStartFillsTheFieldWithTheClock() {
        AppSettings start;
        start.setValue(SettingKind::TimeSync, 0);
        CSettingPage page(start, nullptr);
        QVERIFY(named<QRadioButton>(page, "Hands On")->isChecked());
        const QString text = named<QLineEdit>(page, "Time Setting")->text();
        QCOMPARE(text.size(), 14);
        QCOMPARE(text.left(4).toInt(), QDate::currentDate().year());
    }

    void theWorkerGetsTheManualTime() {
        CSettingPage page;
        named<QLineEdit>(page, "Time Setting")->setText(QStringLiteral("20091231235959"));
        const std::optional<talvo::MessageReply> reply =
            talvo::sendMessage(&page, talvo::AppMessage::GetManualTime, 0, 0, std::any(talvo::ScannerTimeBytes{}));
        QVERIFY(reply.has_value());
        QCOMPARE(reply->result, talvo::MessageArg{1});
        const auto* time = std::any_cast<talvo::ScannerTimeBytes>(&reply->payload);
        QVERIFY(time != nullptr);
        QCOMPARE((*time)[0], std::uint8_t{109});
        QCOMPARE((*time)[1], std::uint8_t{11});
        QCOMPARE((*time)[5], std::uint8_t{59});
        QCOMPARE(int((*time)[6]), QDate::currentDate().dayOfWeek() % 7);
    }

    void aChangeSurvivesARestart() {
        {
            CSettingPage page;
            named<talvo::SpinArrows>(page, "Auto re-connect")->stepBy(4);
            named<QCheckBox>(page, "Auto Real-time mode")->setChecked(false);
            named<QRadioButton>(page, "Hands On")->setChecked(true);
            // Nothing is written before the page ends.
            QVERIFY(!QFile::exists(settingsFile()));
        }
        CSettingPage again;
        QCOMPARE(named<QLineEdit>(again, "Auto re-connect")->text(), QStringLiteral("7"));
        QVERIFY(!named<QCheckBox>(again, "Auto Real-time mode")->isChecked());
        QVERIFY(named<QRadioButton>(again, "Hands On")->isChecked());
        QCOMPARE(again.settings().value(SettingKind::Sound), 3);
        QCOMPARE(again.settings().value(SettingKind::IconTray), 1);
    }
};

QTEST_MAIN(TestSettingPage)
#include "test_setting_page.moc"

// Key handling of the whole program: Enter only with the Action key held, no context menus, and the
// Action key as a setting.
#include "messages/message_box.h"
#include "shell/key_filter.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

class TestKeyFilter : public QObject {
    Q_OBJECT

private:
    talvo::KeyFilter filter_{Qt::Key_Select};

private slots:
    void initTestCase() { qApp->installEventFilter(&filter_); }
    void cleanupTestCase() { qApp->removeEventFilter(&filter_); }

    void enterIsSwallowedUnlessTheActionKeyIsHeld() {
        QLineEdit field;
        field.show();
        QVERIFY(QTest::qWaitForWindowExposed(&field));
        QSignalSpy returns(&field, &QLineEdit::returnPressed);
        QTest::keyClick(&field, Qt::Key_Return);
        QTest::keyClick(&field, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(returns.size(), 0);
        QTest::keyPress(&field, Qt::Key_Select);
        QVERIFY(filter_.actionKeyHeld());
        QTest::keyClick(&field, Qt::Key_Return);
        QCOMPARE(returns.size(), 1);
        QTest::keyRelease(&field, Qt::Key_Select);
        QVERIFY(!filter_.actionKeyHeld());
        QTest::keyClick(&field, Qt::Key_Return);
        QCOMPARE(returns.size(), 1);
        // Other keys are untouched.
        QTest::keyClicks(&field, "ab");
        QCOMPARE(field.text(), QStringLiteral("ab"));
    }

    void leavingTheProgramReleasesTheActionKey() {
        QLineEdit field;
        QTest::keyPress(&field, Qt::Key_Select);
        QVERIFY(filter_.actionKeyHeld());
        QEvent deactivate(QEvent::ApplicationDeactivate);
        QCoreApplication::sendEvent(qApp, &deactivate);
        QVERIFY(!filter_.actionKeyHeld());
    }

    void aScannerEnterDoesNotPressTheDefaultButton() {
        QDialog dialog;
        auto* field = new QLineEdit(&dialog);
        auto* button = new QPushButton(QStringLiteral("OK"), &dialog);
        button->setDefault(true);
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(field);
        layout->addWidget(button);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QSignalSpy clicks(button, &QPushButton::clicked);
        QTest::keyClicks(field, "4006381333931");
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(clicks.size(), 0);
        QVERIFY(dialog.isVisible());
    }

    void contextMenuRequestsAreSwallowed() {
        QLineEdit field;
        field.setContextMenuPolicy(Qt::CustomContextMenu);
        field.show();
        QVERIFY(QTest::qWaitForWindowExposed(&field));
        QSignalSpy requests(&field, &QWidget::customContextMenuRequested);
        QContextMenuEvent mouse(QContextMenuEvent::Mouse, QPoint(2, 2), field.mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&field, &mouse);
        QContextMenuEvent keyboard(QContextMenuEvent::Keyboard, QPoint(2, 2), field.mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&field, &keyboard);
        QCOMPARE(requests.size(), 0);
    }

    void theActionKeyComesFromTheSettings_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("key");
        QTest::newRow("missing") << QVariant() << int(Qt::Key_Select);
        QTest::newRow("name") << QVariant(QStringLiteral("F9")) << int(Qt::Key_F9);
        QTest::newRow("menu") << QVariant(QStringLiteral("Menu")) << int(Qt::Key_Menu);
        QTest::newRow("code") << QVariant(int(Qt::Key_F10)) << int(Qt::Key_F10);
        QTest::newRow("hex code") << QVariant(QStringLiteral("0x01010000")) << int(Qt::Key_Select);
        QTest::newRow("garbage") << QVariant(QStringLiteral("no such key")) << int(Qt::Key_Select);
        QTest::newRow("two keys") << QVariant(QStringLiteral("F9, F10")) << int(Qt::Key_Select);
        QTest::newRow("negative") << QVariant(-4) << int(Qt::Key_Select);
    }
    void theActionKeyComesFromTheSettings() {
        QFETCH(QVariant, stored);
        QFETCH(int, key);
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("keys.ini")), QSettings::IniFormat);
        if (stored.isValid()) settings.setValue(QStringLiteral("Keys/ActionKey"), stored);
        QCOMPARE(talvo::readActionKey(settings), key);
    }

    void messageBoxesAreAnsweredThroughTheSeamAndTitled() {
        talvo::MessageBox::clearAnswers();
        talvo::MessageBox::queueAnswer(QMessageBox::Yes);
        QCOMPARE(talvo::MessageBox::question(nullptr, QStringLiteral("Erase?")), QMessageBox::Yes);
        QCOMPARE(talvo::MessageBox::shownTexts(), QStringList{QStringLiteral("Erase?")});
        QCOMPARE(talvo::MessageBox::title(), QStringLiteral("TalvoScan"));
        talvo::MessageBox::clearAnswers();
        QVERIFY(talvo::MessageBox::shownTexts().isEmpty());
    }
};

QTEST_MAIN(TestKeyFilter)
#include "test_key_filter.moc"

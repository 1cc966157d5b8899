// The message box helper: the test seam answers boxes without showing them, and the program, which never
// uses the seam, keeps no record of what it showed.
#include "messages/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>

using talvo::MessageBox;

class MessageBoxTest : public QObject {
    Q_OBJECT

private slots:
    // Runs first, before anything has used the seam: the program's own boxes leave no trace.
    void withoutTheSeamNothingIsRecorded() {
        for (int i = 0; i < 3; ++i) {
            QPointer<QMessageBox> box = MessageBox::openInformation(nullptr, QStringLiteral("Deleted Data %1").arg(i));
            QVERIFY(box != nullptr);
            box->close();
        }
        QVERIFY(MessageBox::shownTexts().isEmpty());
    }

    void theSeamAnswersInOrderAndRecords() {
        MessageBox::clearAnswers();
        MessageBox::queueAnswer(QMessageBox::Yes);
        MessageBox::queueAnswer(QMessageBox::No);
        QCOMPARE(MessageBox::question(nullptr, QStringLiteral("first")), QMessageBox::Yes);
        QCOMPARE(MessageBox::question(nullptr, QStringLiteral("second")), QMessageBox::No);
        QVERIFY(MessageBox::openInformation(nullptr, QStringLiteral("third")) != nullptr);  // no answer left: shown
        QCOMPARE(MessageBox::shownTexts(),
                 (QStringList{QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("third")}));
        MessageBox::clearAnswers();
        QVERIFY(MessageBox::shownTexts().isEmpty());
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w)) box->close();
    }
};

QTEST_MAIN(MessageBoxTest)
#include "message_box_test.moc"

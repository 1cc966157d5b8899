// The program's one way to show a message box: every box is a standard QMessageBox titled
// "TalvoScan". Tests queue the next answers instead of clicking, so no box ever blocks a test.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

namespace talvo {

class MessageBox {
public:
    // The title of every box of the program.
    static QString title();

    // An information box with OK. Returns the button that closed it.
    [[nodiscard]] static QMessageBox::StandardButton information(QWidget* parent, const QString& text);
    // A warning box with OK.
    [[nodiscard]] static QMessageBox::StandardButton warning(QWidget* parent, const QString& text);
    // A question with Yes and No; No is the default.
    [[nodiscard]] static QMessageBox::StandardButton question(QWidget* parent, const QString& text);

    // An information box with OK that does not wait: it is opened window-modally with open() and
    // deletes itself when closed. Returns the box, or null when the seam answered it at once (the text
    // is recorded either way). For messages that arrive from other threads and must not hold them up.
    static QMessageBox* openInformation(QWidget* parent, const QString& text);

    // Test seam: the next boxes are answered at once with these buttons, in order, and not shown.
    // Using the seam (this or clearAnswers()) also starts recording the texts of the boxes.
    static void queueAnswer(QMessageBox::StandardButton answer);
    // Forgets queued answers and the texts recorded so far; recording goes on.
    static void clearAnswers();
    // Texts of every box shown or answered since the last clearAnswers(), once the seam is in use; the
    // program itself, which never uses the seam, keeps none.
    [[nodiscard]] static QStringList shownTexts();

private:
    static QMessageBox::StandardButton show(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton);
};

}  // namespace talvo

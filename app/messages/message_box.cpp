#include "messages/message_box.h"

#include <QCoreApplication>
#include <QThread>
#include <deque>

namespace talvo {
namespace {

// Boxes are shown on the user-interface thread only, so this state needs no lock. Texts are recorded
// only once a test has used the seam: the program itself never keeps what it showed.
struct Seam {
    std::deque<QMessageBox::StandardButton> answers;
    QStringList texts;
    bool recording = false;

    void record(const QString& text) {
        if (recording) texts.append(text);
    }
};

Seam& seam() {
    static Seam instance;
    return instance;
}

}  // namespace

QString MessageBox::title() { return QStringLiteral("TalvoScan"); }

QMessageBox::StandardButton MessageBox::information(QWidget* parent, const QString& text) {
    return show(parent, QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::Ok);
}

QMessageBox::StandardButton MessageBox::warning(QWidget* parent, const QString& text) {
    return show(parent, QMessageBox::Warning, text, QMessageBox::Ok, QMessageBox::Ok);
}

QMessageBox::StandardButton MessageBox::question(QWidget* parent, const QString& text) {
    return show(parent, QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
}

QMessageBox* MessageBox::openInformation(QWidget* parent, const QString& text) {
    Q_ASSERT(QThread::currentThread() == QCoreApplication::instance()->thread());
    Seam& state = seam();
    state.record(text);
    if (!state.answers.empty()) {
        state.answers.pop_front();
        return nullptr;
    }
    auto* box = new QMessageBox(QMessageBox::Information, title(), text, QMessageBox::Ok, parent);
    box->setDefaultButton(QMessageBox::Ok);
    box->setAccessibleName(title());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return box;
}

void MessageBox::queueAnswer(QMessageBox::StandardButton answer) {
    seam().recording = true;
    seam().answers.push_back(answer);
}

void MessageBox::clearAnswers() {
    seam().recording = true;
    seam().answers.clear();
    seam().texts.clear();
}

QStringList MessageBox::shownTexts() { return seam().texts; }

QMessageBox::StandardButton MessageBox::show(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton) {
    Q_ASSERT(QThread::currentThread() == QCoreApplication::instance()->thread());
    Seam& state = seam();
    state.record(text);
    if (!state.answers.empty()) {
        const QMessageBox::StandardButton answer = state.answers.front();
        state.answers.pop_front();
        return answer;
    }
    QMessageBox box(icon, title(), text, buttons, parent);
    box.setDefaultButton(defaultButton);
    box.setAccessibleName(title());
    const int result = box.exec();
    return static_cast<QMessageBox::StandardButton>(result);
}

}  // namespace talvo

#include "controls/notice_dlg.h"

#include "controls/layout_factor.h"
#include "messages/app_messages.h"

#include <QAccessible>
#include <QPainter>

namespace talvo {

CNoticeDlg::CNoticeDlg(QWidget* parent) : QWidget(parent) {
    PaintedLinesAccessible::installFactory();
    setAutoFillBackground(true);
    // A press and hold on the panel opens nothing.
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void CNoticeDlg::setText(const QString& text) {
    text_ = text;
    update();
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

QStringList CNoticeDlg::paintedLines() const {
    if (text_.isEmpty()) return {};
    return text_.split(QStringLiteral("\r\n"));
}

QRect CNoticeDlg::paintedLineRect(int i) const {
    const int lineHeight = fontMetrics().lineSpacing();
    return {0, kTopMargin * layoutFactor(this) + i * lineHeight, width(), lineHeight};
}

void CNoticeDlg::customEvent(QEvent* event) {
    AppEvent* message = AppEvent::from(event);
    if (message == nullptr || message->message() != AppMessage::SetNoticeText) {
        QWidget::customEvent(event);
        return;
    }
    if (const auto* posted = message->payload<QString>(); posted != nullptr) {
        setText(*posted);
        message->setResult(0);
        return;
    }
    const auto* text = argPointer<const QString>(message->second());
    if (text == nullptr) {
        message->setResult(1);
        return;
    }
    setText(*text);
    message->setResult(0);
}

void CNoticeDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 0));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setFont(font());
    const QStringList lines = paintedLines();
    for (int i = 0; i < lines.size(); ++i) {
        painter.drawText(paintedLineRect(i), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, lines[i]);
    }
}

}  // namespace talvo

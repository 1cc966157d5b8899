#include "controls/notice_line.h"

#include "messages/app_messages.h"

#include <QAccessible>
#include <QTime>

namespace talvo {

CNoticeLine::CNoticeLine(QWidget* parent) : QLabel(parent) {
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setContextMenuPolicy(Qt::PreventContextMenu);
    hide();
}

void CNoticeLine::showNotice(const QString& text) {
    notice_ = text;
    const QString shown =
        text.isEmpty() ? QString() : QStringLiteral("%1  %2").arg(QTime::currentTime().toString(u"HH:mm:ss"), text);
    setText(shown);
    setAccessibleName(shown);
    setVisible(!text.isEmpty());
    if (text.isEmpty()) return;
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void CNoticeLine::customEvent(QEvent* event) {
    AppEvent* message = AppEvent::from(event);
    if (message == nullptr || message->message() != AppMessage::SetNoticeText) {
        QLabel::customEvent(event);
        return;
    }
    if (const auto* text = message->payload<QString>()) showNotice(*text);
    message->setResult(0);
}

}  // namespace talvo

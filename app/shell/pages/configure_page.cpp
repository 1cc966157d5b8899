#include "shell/pages/configure_page.h"

#include "shell/app_messages.h"

CConfigurePage::CConfigurePage(QWidget* parent) : QWidget(parent) { setAccessibleName(QStringLiteral("Configure")); }

void CConfigurePage::customEvent(QEvent* event) {
    auto* message = talvo::AppEvent::from(event);
    if (message == nullptr) return QWidget::customEvent(event);
    if (message->message() == talvo::AppMessage::DeviceEvent) ++deviceEvents_;
}

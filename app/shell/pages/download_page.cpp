#include "shell/pages/download_page.h"

#include "shell/app_messages.h"

CDownloadPage::CDownloadPage(QWidget* parent) : QWidget(parent) { setAccessibleName(QStringLiteral("Download")); }

void CDownloadPage::customEvent(QEvent* event) {
    auto* message = talvo::AppEvent::from(event);
    if (message == nullptr) return QWidget::customEvent(event);
    if (message->message() == talvo::AppMessage::DeviceEvent) ++deviceEvents_;
}

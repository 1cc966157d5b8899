#include "pages/download/sync_check_key_filter.h"

#include <QKeyEvent>

namespace talvo {

SyncCheckKeyFilter::SyncCheckKeyFilter(int actionKey, QObject* parent) : QObject(parent), actionKey_(actionKey) {}

bool SyncCheckKeyFilter::passes(int key, int actionKey) {
    switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_Right:
        case Qt::Key_Down:
        case Qt::Key_F4:
        case Qt::Key_Return:
        case Qt::Key_Enter: return true;
        default: return key == actionKey;
    }
}

bool SyncCheckKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        if (!passes(static_cast<QKeyEvent*>(event)->key(), actionKey_)) {
            event->accept();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace talvo

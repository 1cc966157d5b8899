#include "shell/key_filter.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QMessageBox>
#include <QSettings>
#include <QWidget>

namespace talvo {
namespace {

bool isEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

bool insideMessageBox(QObject* watched) {
    auto* widget = qobject_cast<QWidget*>(watched);
    return widget != nullptr && qobject_cast<QMessageBox*>(widget->window()) != nullptr;
}

}  // namespace

int readActionKey(QSettings& settings) {
    const QString text = settings.value(QStringLiteral("Keys/ActionKey")).toString().trimmed();
    if (text.isEmpty()) return kDefaultActionKey;
    bool isNumber = false;
    const int code = text.toInt(&isNumber, 0);
    if (isNumber) return code > 0 ? code : kDefaultActionKey;
    const QKeySequence sequence = QKeySequence::fromString(text, QKeySequence::PortableText);
    if (sequence.count() != 1) return kDefaultActionKey;
    const int key = sequence[0].key();
    return key == Qt::Key_unknown || key == 0 ? kDefaultActionKey : key;
}

int readActionKeyDefaultLocation() {
    QSettings settings(QStringLiteral("TalvoScan"), QStringLiteral("TalvoScan"));
    return readActionKey(settings);
}

KeyFilter::KeyFilter(int actionKey, QObject* parent) : QObject(parent), actionKey_(actionKey) {}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            if (filterKey(watched, event)) return true;
            break;
        case QEvent::ContextMenu: return qobject_cast<QWidget*>(watched) != nullptr;
        case QEvent::ApplicationDeactivate:
            // The release of the Action key may go to another program; it counts as released.
            actionHeld_ = false;
            break;
        default: break;
    }
    return QObject::eventFilter(watched, event);
}

bool KeyFilter::filterKey(QObject* watched, QEvent* event) {
    // The application sees a key event once for the window and once for each widget it reaches;
    // only widgets are judged, so the held flag follows the real presses.
    if (!watched->isWidgetType()) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == actionKey_) {
        if (!key->isAutoRepeat()) actionHeld_ = event->type() == QEvent::KeyPress;
        return false;
    }
    if (!isEnter(key->key()) || actionHeld_) return false;
    return !insideMessageBox(watched);
}

}  // namespace talvo

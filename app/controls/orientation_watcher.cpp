#include "controls/orientation_watcher.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace talvo {

OrientationWatcher::OrientationWatcher(QWidget* page, std::function<void()> layOut)
    : QObject(page), page_(page), layOut_(std::move(layOut)) {
    followScreen();
    stored_ = screenOrientation();
    page_->installEventFilter(this);
}

Qt::ScreenOrientation OrientationWatcher::screenOrientation() const {
    return screen_ != nullptr ? screen_->orientation() : Qt::PrimaryOrientation;
}

void OrientationWatcher::followScreen() {
    QScreen* now = page_->screen();
    if (now == nullptr) now = QGuiApplication::primaryScreen();
    if (now == screen_) return;
    disconnect(orientationChanged_);
    disconnect(primaryChanged_);
    screen_ = now;
    if (now == nullptr) return;
    orientationChanged_ = connect(now, &QScreen::orientationChanged, this,
                                  [this](Qt::ScreenOrientation orientation) { noteOrientation(orientation); });
    // A turned desktop display changes the screen's geometry; its orientation follows from that.
    primaryChanged_ = connect(now, &QScreen::primaryOrientationChanged, this,
                              [this](Qt::ScreenOrientation) { noteOrientation(screenOrientation()); });
}

void OrientationWatcher::noteOrientation(Qt::ScreenOrientation now) {
    if (now == stored_) return;
    stored_ = now;
    ++layouts_;
    if (layOut_) layOut_();
}

bool OrientationWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (watched == page_) {
        switch (event->type()) {
            case QEvent::Show:
            case QEvent::WindowActivate:
            case QEvent::ScreenChangeInternal:
                followScreen();
                noteOrientation(screenOrientation());
                break;
            default: break;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace talvo

// Lays a page out again when the orientation of its screen changes. The watcher stores the orientation
// of the screen the page stands on when it is made (the page's first layout) and after every new
// layout; it compares the screen's orientation with the stored one
//   - when the screen reports a change (QScreen::orientationChanged, or primaryOrientationChanged when
//     the screen's geometry turned, as a rotated desktop display reports it), and
//   - when the page is shown, its window is activated, or the window moves to another screen,
// and runs the page's layout when they differ. It follows the page to whatever screen its window is on.
//
// Usage, in a page's constructor (or where it first lays itself out):
//     new talvo::OrientationWatcher(this, [this] { layOut(); });   // a child: goes with the page
#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <functional>

class QScreen;
class QWidget;

namespace talvo {

class OrientationWatcher : public QObject {
    Q_OBJECT

public:
    // `page` is watched and becomes the parent; `layOut` runs on the page's thread.
    OrientationWatcher(QWidget* page, std::function<void()> layOut);

    // The orientation seen at the last layout.
    [[nodiscard]] Qt::ScreenOrientation orientation() const { return stored_; }
    // How often the layout ran again.
    [[nodiscard]] int layouts() const { return layouts_; }

    // The screen now stands in `now` (what the screen's signals deliver; tests call it, since an
    // offscreen screen cannot turn): lays the page out again when it differs from the stored one.
    void noteOrientation(Qt::ScreenOrientation now);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Connects to the page's present screen (once per screen).
    void followScreen();
    [[nodiscard]] Qt::ScreenOrientation screenOrientation() const;

    QWidget* page_;
    std::function<void()> layOut_;
    QPointer<QScreen> screen_;
    QMetaObject::Connection orientationChanged_;
    QMetaObject::Connection primaryChanged_;
    Qt::ScreenOrientation stored_ = Qt::PrimaryOrientation;
    int layouts_ = 0;
};

}  // namespace talvo

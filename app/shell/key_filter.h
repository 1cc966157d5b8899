// Key handling of the whole program, installed once on the application: the Enter key is swallowed
// unless the Action key is held down, so that an Enter typed by a scanner cannot press a dialog's
// default button; context-menu requests (a long press, the menu key, a right click) are swallowed.
// Message boxes keep their Enter: their default answer is always the harmless one.
//
// The Action key is a setting: group "Keys", value "ActionKey" of QSettings("TalvoScan", "TalvoScan"),
// a key name as Qt writes it ("Select", "F9", "Menu") or a Qt key code; default Qt::Key_Select.
#pragma once

#include <QObject>

class QSettings;

namespace talvo {

inline constexpr int kDefaultActionKey = Qt::Key_Select;

// The Action key from the settings; unreadable or empty values give Qt::Key_Select.
[[nodiscard]] int readActionKey(QSettings& settings);
[[nodiscard]] int readActionKeyDefaultLocation();

class KeyFilter : public QObject {
    Q_OBJECT

public:
    explicit KeyFilter(int actionKey = kDefaultActionKey, QObject* parent = nullptr);

    [[nodiscard]] int actionKey() const { return actionKey_; }
    [[nodiscard]] bool actionKeyHeld() const { return actionHeld_; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] bool filterKey(QObject* watched, QEvent* event);

    int actionKey_;
    bool actionHeld_ = false;
};

}  // namespace talvo

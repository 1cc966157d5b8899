// Keeps typed characters (a scanner typing into the focused window) from toggling the "Real-time data
// sync" check box: of the key presses and releases aimed at it only the arrow keys, F4, the Action key
// and Enter pass. The Action key's own state is followed by the program-wide key filter, which also
// swallows an Enter without it.
#pragma once

#include <QObject>

namespace talvo {

class SyncCheckKeyFilter : public QObject {
    Q_OBJECT

public:
    explicit SyncCheckKeyFilter(int actionKey, QObject* parent = nullptr);
    bool eventFilter(QObject* watched, QEvent* event) override;

    [[nodiscard]] static bool passes(int key, int actionKey);

private:
    int actionKey_;
};

}  // namespace talvo

// The Configure page. For now it takes the connection events; the device settings arrive with the
// configuration work.
#pragma once

#include <QWidget>

class CConfigurePage : public QWidget {
    Q_OBJECT

public:
    explicit CConfigurePage(QWidget* parent = nullptr);

    // Whether the device settings sheet of this page is open (the main sheet then stays shown).
    [[nodiscard]] bool settingsSheetOpen() const { return false; }
    // MsgDeviceEvent messages received so far.
    [[nodiscard]] int deviceEventCount() const { return deviceEvents_; }

protected:
    void customEvent(QEvent* event) override;

private:
    int deviceEvents_ = 0;
};

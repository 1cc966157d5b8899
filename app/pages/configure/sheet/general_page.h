// The General page of the settings sheet: what a scanner reports about itself (image version, serial
// number, battery level, how full its store is), read only when the sheet has exactly one scanner, and
// the beep settings (volume, connect and disconnect beep delays), written to every scanner of the sheet
// at OK when "Configure this tab" is ticked. With several scanners the page shows the defaults High,
// 200 and 400 and greys the information rows.
//
// The delays are plain text fields with separate arrows (0..3000) beside them: what is typed is taken
// at OK as it stands ("Please enter an integer." for no whole number); a delay out of range is passed
// to the SDK, which refuses it.
#pragma once

#include "pages/configure/sheet/config_tab_page.h"

#include <QString>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;

namespace talvo {
class CGradientProgressCtrl;
class SpinArrows;
}  // namespace talvo

namespace talvo::config {

// What a read of one scanner gave; an empty field is a failed read.
struct GeneralReading {
    std::optional<int> volume;
    std::optional<int> connectDelay;
    std::optional<int> disconnectDelay;
    std::optional<int> batteryCode;
    std::optional<int> storage;
    std::optional<QString> version;
    std::optional<QString> serial;
};

// "ZT550 Ver. a.b" from the first two bytes of the version.
[[nodiscard]] QString imageVersionText(unsigned char major, unsigned char minor);
// "S/N " followed by the letters and digits (ASCII) of `serial` up to its first zero byte.
[[nodiscard]] QString serialText(const char* serial, std::size_t capacity);

class CGeneralPage final : public ConfigTabPage {
    Q_OBJECT

public:
    static constexpr int kMaxDelay = 3000;
    static constexpr int kDefaultConnectDelay = 200;
    static constexpr int kDefaultDisconnectDelay = 400;

    CGeneralPage(SheetAccess& sheet, QWidget* parent);

    [[nodiscard]] QComboBox* volumeList() const { return volume_; }
    [[nodiscard]] QLineEdit* connectField() const { return connectField_; }
    [[nodiscard]] QLineEdit* disconnectField() const { return disconnectField_; }
    [[nodiscard]] SpinArrows* connectSpin() const { return connectSpin_; }
    [[nodiscard]] SpinArrows* disconnectSpin() const { return disconnectSpin_; }
    [[nodiscard]] QLabel* versionValue() const { return versionValue_; }
    [[nodiscard]] QLabel* serialValue() const { return serialValue_; }
    [[nodiscard]] CGradientProgressCtrl* batteryBar() const { return batteryBar_; }
    [[nodiscard]] CGradientProgressCtrl* storageBar() const { return storageBar_; }

protected:
    void buildControls(QWidget* content) override;
    void startReading() override;
    void takeTypedValues() override;
    [[nodiscard]] ApplyStep makeApplyStep() override;

private:
    void showReading(const GeneralReading& reading);
    void showDefaults();
    // Takes the delay typed into `field` into `member`; false (after the message) for no whole number.
    [[nodiscard]] bool takeDelay(QLineEdit* field, int& member);

    QString volumeText_;
    int connectDelay_ = 0;
    int disconnectDelay_ = 0;
    QComboBox* volume_ = nullptr;
    QLineEdit* connectField_ = nullptr;
    QLineEdit* disconnectField_ = nullptr;
    SpinArrows* connectSpin_ = nullptr;
    SpinArrows* disconnectSpin_ = nullptr;
    QLabel* versionLabel_ = nullptr;
    QLabel* versionValue_ = nullptr;
    QLabel* serialLabel_ = nullptr;
    QLabel* serialValue_ = nullptr;
    QLabel* batteryLabel_ = nullptr;
    QLabel* storeLabel_ = nullptr;
    CGradientProgressCtrl* batteryBar_ = nullptr;
    CGradientProgressCtrl* storageBar_ = nullptr;
};

}  // namespace talvo::config

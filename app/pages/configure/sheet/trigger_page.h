// The Trigger page of the settings sheet: the trigger mode (Single, Continuous, Multiple) and the
// number that goes with Continuous and Multiple (0..9999, default 2222). The radio group's order is
// Multiple, Continuous, Single (index 0, 1, 2) while the page shows them as Single, Continuous,
// Multiple; the SDK's mode is 2 minus the index. Read for exactly one scanner, written to all at OK.
#pragma once

#include "pages/configure/sheet/config_tab_page.h"

#include <optional>

class QButtonGroup;
class QLineEdit;
class QRadioButton;

namespace talvo {
class SpinArrows;
}

namespace talvo::config {

struct ScanModeReading {
    int mode = 0;
    int value = 0;
};

class CTriggerPage final : public ConfigTabPage {
    Q_OBJECT

public:
    enum ModeIndex { Multiple = 0, Continuous = 1, Single = 2 };
    static constexpr int kMaxValue = 9999;
    static constexpr int kDefaultValue = 2222;

    CTriggerPage(SheetAccess& sheet, QWidget* parent);

    // The SDK's mode for a group index (2 gives 0, 1 gives 1, any other 2) and back (-1: none).
    [[nodiscard]] static int sdkModeOf(int modeIndex);
    [[nodiscard]] static int modeIndexOf(int sdkMode);

    [[nodiscard]] int modeIndex() const;
    [[nodiscard]] QRadioButton* modeButton(int modeIndex) const;
    [[nodiscard]] QLineEdit* valueField() const { return valueField_; }
    [[nodiscard]] SpinArrows* valueSpin() const { return valueSpin_; }

protected:
    void buildControls(QWidget* content) override;
    void startReading() override;
    void takeTypedValues() override;
    [[nodiscard]] ApplyStep makeApplyStep() override;

private:
    void showReading(const std::optional<ScanModeReading>& reading);
    void setModeIndex(int modeIndex);
    void setValue(int value);
    void enableValue(bool enabled);

    int modeValue_ = 0;
    QButtonGroup* group_ = nullptr;
    QLineEdit* valueField_ = nullptr;
    SpinArrows* valueSpin_ = nullptr;
};

}  // namespace talvo::config

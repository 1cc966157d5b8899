#include "pages/configure/sheet/trigger_page.h"

#include "controls/spin_arrows.h"
#include "pages/configure/sheet/number_field.h"
#include "pages/configure/sheet/scanner_set.h"
#include "zt330sdk.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace talvo::config {
namespace {

constexpr int kModeCount = 3;

}  // namespace

CTriggerPage::CTriggerPage(SheetAccess& sheet, QWidget* parent)
    : ConfigTabPage(QStringLiteral("Trigger"), sheet, true, parent) {}

int CTriggerPage::sdkModeOf(int modeIndex) {
    if (modeIndex == Single) return 0;
    if (modeIndex == Continuous) return 1;
    return 2;
}

int CTriggerPage::modeIndexOf(int sdkMode) { return sdkMode >= 0 && sdkMode < kModeCount ? 2 - sdkMode : -1; }

void CTriggerPage::buildControls(QWidget* content) {
    auto* grid = new QGridLayout(content);
    auto* title = new QLabel(QStringLiteral("Set the Trigger mode"), content);
    title->setAccessibleName(title->text());
    grid->addWidget(title, 0, 0, 1, 3);
    group_ = new QButtonGroup(this);
    // Group order Multiple, Continuous, Single; shown top to bottom as Single, Continuous, Multiple.
    const QString captions[kModeCount] = {QStringLiteral("Multiple"), QStringLiteral("Continuous"),
                                          QStringLiteral("Single")};
    for (int index = 0; index < kModeCount; ++index) {
        auto* button = new QRadioButton(captions[index], content);
        button->setAccessibleName(captions[index]);
        group_->addButton(button, index);
        grid->addWidget(button, 1 + (kModeCount - 1 - index), 0);
    }
    valueField_ = new QLineEdit(content);
    valueField_->setAccessibleName(QStringLiteral("Continuous"));
    valueSpin_ = new SpinArrows(content);
    valueSpin_->setAccessibleName(QStringLiteral("Continuous"));
    valueSpin_->setRange(0, kMaxValue);
    connect(valueSpin_, &SpinArrows::stepped, valueField_,
            [this](int position) { valueField_->setText(QString::number(position)); });
    grid->addWidget(valueField_, 1 + Continuous, 1);
    grid->addWidget(valueSpin_, 1 + Continuous, 2, Qt::AlignLeft);
    grid->setRowStretch(1 + kModeCount, 1);
    grid->setColumnStretch(3, 1);  // the arrows stay beside the field
    // On toggled, not clicked: a screen reader's toggle action, the keyboard and the pages' own choices
    // all turn a button on without a click.
    connect(group_, &QButtonGroup::idToggled, this, [this](int index, bool checked) {
        if (checked) enableValue(index != Single);
    });
    setModeIndex(Multiple);
    setValue(0);
}

int CTriggerPage::modeIndex() const { return group_->checkedId(); }

QRadioButton* CTriggerPage::modeButton(int modeIndex) const {
    return qobject_cast<QRadioButton*>(group_->button(modeIndex));
}

void CTriggerPage::setModeIndex(int modeIndex) {
    if (QAbstractButton* button = group_->button(modeIndex)) button->setChecked(true);
}

void CTriggerPage::setValue(int value) {
    modeValue_ = value;
    valueSpin_->setPosition(value);
    valueField_->setText(QString::number(value));
}

void CTriggerPage::enableValue(bool enabled) {
    valueField_->setEnabled(enabled);
    valueSpin_->setEnabled(enabled);
}

void CTriggerPage::startReading() {
    const std::vector<DeviceRecord*> devices = sheet().sheetDevices();
    if (devices.size() != 1) {
        setValue(kDefaultValue);
        setModeIndex(Single);
        enableValue(false);
        return;
    }
    const ScannerHandle handle = handlesOf(devices).front();
    runJob(
        QStringLiteral("Reading..."),
        [handle](std::stop_token) -> std::optional<ScanModeReading> {
            ScanModeReading reading;
            if (ztGetScanMode(handle, &reading.mode, &reading.value) != SDK_OK) return std::nullopt;
            return reading;
        },
        [this](std::optional<ScanModeReading> reading) { showReading(reading); });
}

void CTriggerPage::showReading(const std::optional<ScanModeReading>& reading) {
    if (!reading) return;
    const int index = modeIndexOf(reading->mode);
    if (index >= 0) setModeIndex(index);
    enableValue(index != Single);
    setValue(reading->value);
}

void CTriggerPage::takeTypedValues() {
    if (auto typed = takeWholeNumber(valueField_, sheet().sheetWidget())) modeValue_ = *typed;
}

ApplyStep CTriggerPage::makeApplyStep() {
    const int mode = sdkModeOf(modeIndex());
    // A value typed out of range goes to the SDK as it is (a negative one as its unsigned form); the SDK
    // refuses it and the scanner keeps its mode.
    const auto value = static_cast<unsigned>(modeValue_);
    const ScannerHandles handles = handlesOf(sheet().sheetDevices());
    return [handles, mode, value](std::stop_token stop) {
        for (ScannerHandle handle : handles) {
            if (stop.stop_requested()) return;
            (void)ztSetScanMode(handle, mode, value);
        }
    };
}

}  // namespace talvo::config

#include "pages/configure/sheet/system_page.h"

#include "controls/spin_arrows.h"
#include "messages/message_box.h"
#include "pages/configure/sheet/device_text.h"
#include "pages/configure/sheet/number_field.h"
#include "pages/configure/sheet/scanner_set.h"
#include "zt330sdk.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace talvo::config {
namespace {

constexpr qsizetype kPinLength = 4;

[[nodiscard]] QLabel* makeLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAccessibleName(text);
    return label;
}

[[nodiscard]] QPushButton* makeOk(const QString& accessibleName, QWidget* parent) {
    auto* button = new QPushButton(QStringLiteral("OK"), parent);
    // Five buttons read "OK": each is named after its row, as assistive technologies list them.
    button->setAccessibleName(QStringLiteral("OK"));
    button->setAccessibleDescription(accessibleName);
    button->setAutoDefault(false);
    return button;
}

[[nodiscard]] QLineEdit* makePinField(const QString& caption, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setAccessibleName(caption);
    field->setEchoMode(QLineEdit::Password);
    return field;
}

struct SystemReading {
    std::optional<int> powerSave;
    std::optional<bool> cancelButton;
};

}  // namespace

QString systemReport(const QString& heading, const QStringList& names, const std::vector<bool>& done,
                     const QString& doneWord) {
    QString report = heading;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const bool ok = static_cast<std::size_t>(i) < done.size() && done[static_cast<std::size_t>(i)];
        report += QStringLiteral("\r\n%1  %2").arg(names[i], ok ? doneWord : QStringLiteral("Fail"));
    }
    return report;
}

std::optional<QString> pinProblem(const QString& pin, const QString& confirmation) {
    const auto pinBytes = toDeviceText(pin);
    const auto confirmationBytes = toDeviceText(confirmation);
    const bool same = pinBytes && confirmationBytes ? *pinBytes == *confirmationBytes : pin == confirmation;
    if (!same) return QStringLiteral("The number is Incorrect!\r\nPlease try again");
    if (!pinBytes || pinBytes->size() != kPinLength)
        return QStringLiteral("It should put the 4 digit!\r\nPlease try again");
    if (!std::all_of(pinBytes->begin(), pinBytes->end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return QStringLiteral("It should put the 4 digit numbers!\r\nPlease try again");
    }
    return std::nullopt;
}

CSystemPage::CSystemPage(SheetAccess& sheet, QWidget* parent)
    : ConfigTabPage(QStringLiteral("System"), sheet, false, parent) {}

void CSystemPage::buildControls(QWidget* content) {
    setHeaderText(QStringLiteral("Configure Device"));
    auto* grid = new QGridLayout(content);
    int row = 0;
    grid->addWidget(makeLabel(QStringLiteral("Power Save Mode"), content), row, 0);
    powerSaveField_ = new QLineEdit(content);
    powerSaveField_->setAccessibleName(QStringLiteral("Power Save Mode"));
    powerSaveSpin_ = new SpinArrows(content);
    powerSaveSpin_->setAccessibleName(QStringLiteral("Power Save Mode"));
    powerSaveSpin_->setRange(0, kMaxPowerSave);
    connect(powerSaveSpin_, &SpinArrows::stepped, powerSaveField_,
            [this](int position) { powerSaveField_->setText(QString::number(position)); });
    powerSaveOk_ = makeOk(QStringLiteral("Power Save Mode"), content);
    grid->addWidget(powerSaveField_, row, 1);
    grid->addWidget(powerSaveSpin_, row, 2, Qt::AlignLeft);
    grid->addWidget(powerSaveOk_, row++, 3);

    grid->addWidget(makeLabel(QStringLiteral("Security Setting"), content), row++, 0, 1, 4);
    grid->addWidget(makeLabel(QStringLiteral("PIN Code"), content), row, 0);
    pinField_ = makePinField(QStringLiteral("PIN Code"), content);
    grid->addWidget(pinField_, row, 1);
    grid->addWidget(makeLabel(QStringLiteral("Confirm"), content), row, 2);
    confirmField_ = makePinField(QStringLiteral("Confirm"), content);
    grid->addWidget(confirmField_, row++, 3);
    changeButton_ = new QPushButton(QStringLiteral("Change"), content);
    changeButton_->setAccessibleName(changeButton_->text());
    changeButton_->setAutoDefault(false);
    grid->addWidget(changeButton_, row++, 2, 1, 2);

    grid->addWidget(makeLabel(QStringLiteral("Default Setting"), content), row, 0, 1, 3);
    defaultOk_ = makeOk(QStringLiteral("Default Setting"), content);
    grid->addWidget(defaultOk_, row++, 3);
    grid->addWidget(makeLabel(QStringLiteral("Erase all data"), content), row, 0, 1, 3);
    eraseOk_ = makeOk(QStringLiteral("Erase all data"), content);
    grid->addWidget(eraseOk_, row++, 3);
    cancelBox_ = new QCheckBox(QStringLiteral("Cancel Btn"), content);
    cancelBox_->setAccessibleName(cancelBox_->text());
    cancelOk_ = makeOk(QStringLiteral("Cancel Btn"), content);
    grid->addWidget(cancelBox_, row, 0, 1, 3);
    grid->addWidget(cancelOk_, row++, 3);
    // The sleep-mode LED switch exists on the page but is never offered.
    ledBox_ = new QCheckBox(QStringLiteral("Pow Save Mode Led"), content);
    ledOk_ = makeOk(QStringLiteral("Pow Save Mode Led"), content);
    ledBox_->hide();
    ledOk_->hide();
    grid->setRowStretch(row, 1);
    // The two PIN fields share the width; the labels and buttons keep their own.
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    connect(defaultOk_, &QPushButton::clicked, this, &CSystemPage::restoreDefaults);
    connect(changeButton_, &QPushButton::clicked, this, &CSystemPage::changePin);
    connect(powerSaveOk_, &QPushButton::clicked, this, &CSystemPage::setPowerSave);
    connect(eraseOk_, &QPushButton::clicked, this, &CSystemPage::eraseData);
    connect(cancelOk_, &QPushButton::clicked, this, &CSystemPage::setCancelButton);
    clearPin();
}

void CSystemPage::startReading() {
    const std::vector<DeviceRecord*> devices = sheet().sheetDevices();
    const auto show = [this](int powerSave) {
        powerSave_ = powerSave;
        powerSaveSpin_->setPosition(powerSave);
        powerSaveField_->setText(QString::number(powerSave));
    };
    if (devices.size() != 1) {
        show(kDefaultPowerSave);
        cancelBox_->setChecked(false);
        return;
    }
    show(0);
    const ScannerHandle handle = handlesOf(devices).front();
    runJob(
        QStringLiteral("Reading..."),
        [handle](std::stop_token stop) {
            SystemReading reading;
            int time = 0;
            if (ztGetSleepModeTime(handle, &time) == SDK_OK) reading.powerSave = time;
            unsigned char state = 0;
            if (!stop.stop_requested() && ztGetCancelBtnStatus(handle, &state) == SDK_OK) {
                if (state == 0 || state == 1) reading.cancelButton = state == 1;
            }
            return reading;
        },
        [this, show](SystemReading reading) {
            if (reading.powerSave) show(*reading.powerSave);
            if (reading.cancelButton) cancelBox_->setChecked(*reading.cancelButton);
        });
}

bool CSystemPage::confirmed(const QString& question) {
    return MessageBox::question(sheet().sheetWidget(), question) == QMessageBox::Yes;
}

void CSystemPage::clearPin() {
    pinField_->clear();
    confirmField_->clear();
}

void CSystemPage::runOnAll(QPushButton* button, const QString& heading, SystemCall call, const QString& doneWord) {
    const std::vector<DeviceRecord*> devices = sheet().sheetDevices();
    if (devices.empty()) {
        (void)MessageBox::information(sheet().sheetWidget(), QStringLiteral("No Connection Device"));
        return;
    }
    QStringList names;
    for (const DeviceRecord* record : devices) names.append(QString::fromStdWString(record->name));
    const ScannerHandles handles = handlesOf(devices);
    button->setEnabled(false);
    QPointer<QPushButton> pressed(button);
    runJob(
        QStringLiteral("Writing..."),
        [handles, call = std::move(call)](std::stop_token stop) {
            std::vector<bool> done;
            for (ScannerHandle handle : handles) done.push_back(!stop.stop_requested() && call(handle) == SDK_OK);
            return done;
        },
        [this, pressed, heading, names, doneWord](std::vector<bool> done) {
            if (pressed != nullptr) pressed->setEnabled(true);
            (void)MessageBox::information(sheet().sheetWidget(), systemReport(heading, names, done, doneWord));
        });
}

void CSystemPage::restoreDefaults() {
    if (!confirmed(QStringLiteral("Want to be\r\nDefault Setting?"))) return;
    runOnAll(defaultOk_, QStringLiteral("Default Setting"), [](ScannerHandle handle) { return ztSetDefault(handle); });
}

void CSystemPage::changePin() {
    const QString pin = pinField_->text();
    const QString confirmation = confirmField_->text();
    clearPin();  // in every case, whatever follows
    if (auto problem = pinProblem(pin, confirmation)) {
        (void)MessageBox::information(sheet().sheetWidget(), *problem);
        return;
    }
    if (!confirmed(QStringLiteral("Want to change\r\nPassword?"))) return;
    const QByteArray digits = pin.toLatin1();
    runOnAll(
        changeButton_, QStringLiteral("PinCode Change"),
        [digits](ScannerHandle handle) { return ztSetBluetoothPin(handle, digits.constData()); },
        QStringLiteral("Changed"));
}

void CSystemPage::setPowerSave() {
    // A text that is no whole number is named and nothing is written: the button acts at once on every
    // scanner, and the time kept from before (3 for several scanners) is not what the user typed.
    const auto typed = takeWholeNumber(powerSaveField_, sheet().sheetWidget());
    if (!typed) return;
    powerSave_ = *typed;
    // A time out of range goes to the SDK as it is; the SDK refuses it and the line says Fail.
    const auto time = static_cast<unsigned>(powerSave_);
    runOnAll(powerSaveOk_, QStringLiteral("Power save mode"),
             [time](ScannerHandle handle) { return ztSetSleepModeTime(handle, time); });
}

void CSystemPage::eraseData() {
    if (!confirmed(QStringLiteral("Want to erase all\r\ndata of ZT-550?"))) return;
    runOnAll(eraseOk_, QStringLiteral("Erase all data"), [](ScannerHandle handle) { return ztClearAllData(handle); });
}

void CSystemPage::setCancelButton() {
    const int on = cancelBox_->isChecked() ? 1 : 0;  // as the box stands at the press
    runOnAll(cancelOk_, QStringLiteral("Cancel Btn stat set"),
             [on](ScannerHandle handle) { return ztSetCancelBtnStatus(handle, on); });
}

}  // namespace talvo::config

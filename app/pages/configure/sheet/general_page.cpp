#include "pages/configure/sheet/general_page.h"

#include "controls/gradient_progress_ctrl.h"
#include "controls/label_text.h"
#include "controls/spin_arrows.h"
#include "pages/configure/sheet/number_field.h"
#include "pages/configure/sheet/scanner_set.h"
#include "zt330sdk.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include <array>

namespace talvo::config {
namespace {

// Volume entries in list order; the scanner's values 3, 2, 1, 0.
const std::array<QString, 4> kVolumes{QStringLiteral("High"), QStringLiteral("Medium"), QStringLiteral("Low"),
                                      QStringLiteral("Off")};
constexpr int kVolumeLevels = 4;
constexpr int kBatteryTop = 3;
constexpr int kStorageTop = 100;
constexpr std::size_t kSerialCapacity = 64;
constexpr QColor kBarStart{255, 200, 200};
constexpr QColor kBarEnd{255, 70, 70};
constexpr QColor kBarText{70, 70, 70};

[[nodiscard]] QString volumeTextOf(int value) {
    return value >= 0 && value < kVolumeLevels ? kVolumes[static_cast<std::size_t>(kVolumeLevels - 1 - value)]
                                               : QString();
}

// "Off" 0, "Low" 1, "Medium" 2, anything else (an empty text too) 3.
[[nodiscard]] unsigned volumeValueOf(const QString& text) {
    for (int value = 0; value < kVolumeLevels - 1; ++value) {
        if (text == volumeTextOf(value)) return static_cast<unsigned>(value);
    }
    return kVolumeLevels - 1;
}

[[nodiscard]] GeneralReading readScanner(ScannerHandle handle, const std::stop_token& stop) {
    GeneralReading reading;
    int value = 0;
    int second = 0;
    if (!stop.stop_requested() && ztGetBuzzerVolume(handle, &value) == SDK_OK) reading.volume = value;
    if (!stop.stop_requested() && ztGetConnectBeepDelayTime(handle, &value) == SDK_OK) reading.connectDelay = value;
    if (!stop.stop_requested() && ztGetDisconnectBeepDelayTime(handle, &value) == SDK_OK) {
        reading.disconnectDelay = value;
    }
    if (!stop.stop_requested() && ztGetBatteryStatus(handle, &value, &second) == SDK_OK) reading.batteryCode = second;
    if (!stop.stop_requested() && ztGetStorageStatus(handle, &value) == SDK_OK) reading.storage = value;
    std::array<unsigned char, 4> version{};
    if (!stop.stop_requested() && ztGetImageVersion(handle, version.data()) == SDK_OK) {
        reading.version = imageVersionText(version[0], version[1]);
    }
    std::array<char, kSerialCapacity> serial{};
    if (!stop.stop_requested() && ztGetBluetoothSerial(handle, serial.data()) == SDK_OK) {
        reading.serial = serialText(serial.data(), serial.size());
    }
    return reading;
}

void configureBar(CGradientProgressCtrl* bar, int upper, const QString& suffix) {
    bar->setBounds(0, upper);
    bar->setTextSuffix(suffix);
    bar->setTextShown(true);
    bar->setStartColor(kBarStart);
    bar->setEndColor(kBarEnd);
    bar->setTextColor(kBarText);
}

[[nodiscard]] QLabel* makeLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAccessibleName(text);
    return label;
}

}  // namespace

QString imageVersionText(unsigned char major, unsigned char minor) {
    return QStringLiteral("ZT550 Ver. %1.%2")
        .arg(QChar::fromLatin1(static_cast<char>(major)), QChar::fromLatin1(static_cast<char>(minor)));
}

QString serialText(const char* serial, std::size_t capacity) {
    QString kept;
    for (std::size_t i = 0; i < capacity && serial[i] != '\0'; ++i) {
        const char c = serial[i];
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) kept.append(QLatin1Char(c));
    }
    return QStringLiteral("S/N %1").arg(kept);
}

CGeneralPage::CGeneralPage(SheetAccess& sheet, QWidget* parent)
    : ConfigTabPage(QStringLiteral("General"), sheet, true, parent) {}

void CGeneralPage::buildControls(QWidget* content) {
    auto* grid = new QGridLayout(content);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    int row = 0;
    versionLabel_ = makeLabel(QStringLiteral("Image Version"), content);
    versionValue_ = makeLabel(QStringLiteral("ZT330 Version"), content);
    grid->addWidget(versionLabel_, row, 0);
    grid->addWidget(versionValue_, row++, 1, 1, 2);
    serialLabel_ = makeLabel(QStringLiteral("Serial Number"), content);
    serialValue_ = makeLabel(QStringLiteral("S/N"), content);
    grid->addWidget(serialLabel_, row, 0);
    grid->addWidget(serialValue_, row++, 1, 1, 2);

    grid->addWidget(makeLabel(QStringLiteral("Beep Volume"), content), row, 0);
    volume_ = new QComboBox(content);
    volume_->setAccessibleName(QStringLiteral("Beep Volume"));
    for (const QString& entry : kVolumes) volume_->addItem(entry);
    volume_->setCurrentIndex(-1);
    grid->addWidget(volume_, row++, 1, 1, 2);

    grid->addWidget(makeLabel(QStringLiteral("Beep Delay"), content), row++, 0, 1, 3);
    const auto delayRow = [&](const QString& caption, QLineEdit*& field, SpinArrows*& spin) {
        grid->addWidget(makeLabel(caption, content), row, 0);
        field = new QLineEdit(content);
        field->setAccessibleName(caption);
        spin = new SpinArrows(content);
        spin->setAccessibleName(caption);
        spin->setRange(0, kMaxDelay);
        QLineEdit* target = field;
        connect(spin, &SpinArrows::stepped, field,
                [target](int position) { target->setText(QString::number(position)); });
        grid->addWidget(field, row, 1);
        grid->addWidget(spin, row++, 2, Qt::AlignLeft);
    };
    delayRow(QStringLiteral("Connect"), connectField_, connectSpin_);
    delayRow(QStringLiteral("Disconnect"), disconnectField_, disconnectSpin_);

    batteryLabel_ = makeLabel(QStringLiteral("Battery Level"), content);
    batteryBar_ = new CGradientProgressCtrl(content);
    batteryBar_->setAccessibleName(QStringLiteral("Battery Level"));
    configureBar(batteryBar_, kBatteryTop, QStringLiteral("/3"));
    grid->addWidget(batteryLabel_, row, 0);
    grid->addWidget(batteryBar_, row++, 1, 1, 2);
    storeLabel_ = makeLabel(QStringLiteral("Data Store"), content);
    grid->addWidget(storeLabel_, row++, 0, 1, 3);
    storageBar_ = new CGradientProgressCtrl(content);
    storageBar_->setAccessibleName(QStringLiteral("Data Store"));
    configureBar(storageBar_, kStorageTop, QStringLiteral("%"));
    grid->addWidget(storageBar_, row++, 0, 1, 3);
    grid->setRowStretch(row, 1);
    connectField_->setText(QString::number(connectDelay_));
    disconnectField_->setText(QString::number(disconnectDelay_));
}

void CGeneralPage::startReading() {
    const std::vector<DeviceRecord*> devices = sheet().sheetDevices();
    if (devices.size() != 1) return showDefaults();
    const ScannerHandle handle = handlesOf(devices).front();
    runJob(
        QStringLiteral("Reading..."), [handle](std::stop_token stop) { return readScanner(handle, stop); },
        [this](GeneralReading reading) { showReading(reading); });
}

void CGeneralPage::showReading(const GeneralReading& reading) {
    if (reading.volume) {
        const QString text = volumeTextOf(*reading.volume);
        if (!text.isEmpty()) {
            volumeText_ = text;
            volume_->setCurrentText(text);
        }
    }
    if (reading.connectDelay) {
        connectDelay_ = *reading.connectDelay;
        connectSpin_->setPosition(connectDelay_);
        connectField_->setText(QString::number(connectDelay_));
    }
    if (reading.disconnectDelay) {
        disconnectDelay_ = *reading.disconnectDelay;
        disconnectSpin_->setPosition(disconnectDelay_);
        disconnectField_->setText(QString::number(disconnectDelay_));
    }
    if (reading.batteryCode && *reading.batteryCode >= 0 && *reading.batteryCode < kBatteryTop) {
        batteryBar_->setPosition(kBatteryTop - *reading.batteryCode);
    }
    if (reading.storage) storageBar_->setPosition(*reading.storage);
    if (reading.version) showLabelText(versionValue_, *reading.version);
    if (reading.serial) showLabelText(serialValue_, *reading.serial);
}

void CGeneralPage::showDefaults() {
    volumeText_ = kVolumes.front();
    volume_->setCurrentText(volumeText_);
    connectDelay_ = kDefaultConnectDelay;
    disconnectDelay_ = kDefaultDisconnectDelay;
    connectSpin_->setPosition(connectDelay_);
    disconnectSpin_->setPosition(disconnectDelay_);
    connectField_->setText(QString::number(connectDelay_));
    disconnectField_->setText(QString::number(disconnectDelay_));
    for (QWidget* widget : std::initializer_list<QWidget*>{versionLabel_, versionValue_, serialLabel_, serialValue_,
                                                           batteryLabel_, storeLabel_, batteryBar_, storageBar_}) {
        widget->setEnabled(false);
    }
}

bool CGeneralPage::takeDelay(QLineEdit* field, int& member) {
    const auto value = takeWholeNumber(field, sheet().sheetWidget());
    if (value) member = *value;
    return value.has_value();
}

void CGeneralPage::takeTypedValues() {
    // The transfer stops at the first field without a whole number; it and the fields after it keep
    // their earlier values.
    volumeText_ = volume_->currentText();
    if (takeDelay(connectField_, connectDelay_)) (void)takeDelay(disconnectField_, disconnectDelay_);
}

ApplyStep CGeneralPage::makeApplyStep() {
    const unsigned volume = volumeValueOf(volumeText_);
    // A negative delay reaches the SDK as the huge unsigned number it is, which the SDK refuses.
    const auto connectDelay = static_cast<unsigned>(connectDelay_);
    const auto disconnectDelay = static_cast<unsigned>(disconnectDelay_);
    const ScannerHandles handles = handlesOf(sheet().sheetDevices());
    return [handles, volume, connectDelay, disconnectDelay](std::stop_token stop) {
        // A stopped sheet ends the writes after the call in progress (each takes ~3 s on a silent scanner).
        for (ScannerHandle handle : handles) {
            if (stop.stop_requested()) return;
            (void)ztSetBuzzerVolume(handle, volume);
            if (stop.stop_requested()) return;
            (void)ztSetConnectBeepDelayTime(handle, connectDelay);
            if (stop.stop_requested()) return;
            (void)ztSetDisconnectBeepDelayTime(handle, disconnectDelay);
        }
    };
}

}  // namespace talvo::config

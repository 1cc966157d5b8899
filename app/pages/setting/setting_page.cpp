#include "pages/setting/setting_page.h"

#include "controls/layout_factor.h"
#include "controls/spin_arrows.h"
#include "messages/app_messages.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

using talvo::AppSettings;
using talvo::SettingKind;

namespace {

// The time field takes at most this many characters, the limit of the 8-bit text it is read as.
constexpr int kTimeTextLimit = 128;
constexpr int kMargin = 9;
constexpr int kIndent = 18;
// Wide enough for "10" and a cursor.
constexpr int kNumberFieldWidth = 48;

template <typename T>
T* captioned(const QString& caption, QWidget* parent) {
    auto* widget = new T(caption, parent);
    widget->setAccessibleName(caption);
    return widget;
}

QLineEdit* namedField(const QString& name, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setAccessibleName(name);
    return field;
}

}  // namespace

CSettingPage::CSettingPage(QWidget* parent) : CSettingPage(AppSettings::loadDefaultLocation(), parent) {}

CSettingPage::CSettingPage(const AppSettings& initial, QWidget* parent) : QWidget(parent), values_(initial) {
    setAccessibleName(QStringLiteral("Setting"));
    buildControls();
    showValues();
    connectControls();
}

CSettingPage::~CSettingPage() { (void)writeSettings(); }

bool CSettingPage::writeSettings() const { return values_.saveDefaultLocation(); }

void CSettingPage::buildControls() {
    retryLabel_ = captioned<QLabel>(QStringLiteral("Auto re-connect"), this);
    retryEdit_ = namedField(QStringLiteral("Auto re-connect"), this);
    retryEdit_->setObjectName(QStringLiteral("autoReconnectField"));
    retryArrows_ = new talvo::SpinArrows(this);
    retryArrows_->setObjectName(QStringLiteral("autoReconnectArrows"));
    retryArrows_->setAccessibleName(QStringLiteral("Auto re-connect"));
    iconTray_ = captioned<QCheckBox>(QStringLiteral("Display Icon in System Tray"), this);
    timeStamp_ = captioned<QCheckBox>(QStringLiteral("Time Stamp"), this);
    realTime_ = captioned<QCheckBox>(QStringLiteral("Auto Real-time mode"), this);
    timeLabel_ = captioned<QLabel>(QStringLiteral("Time Setting"), this);
    timeSync_ = captioned<QRadioButton>(QStringLiteral("Time Sync"), this);
    handsOn_ = captioned<QRadioButton>(QStringLiteral("Hands On"), this);
    timeEdit_ = namedField(QStringLiteral("Time Setting"), this);
    timeEdit_->setObjectName(QStringLiteral("timeSettingField"));
    timeEdit_->setMaxLength(kTimeTextLimit);
    timeEdit_->setPlaceholderText(QStringLiteral("YYYYMMDDhhmmss"));
    timeEdit_->setToolTip(
        QStringLiteral("Fourteen digits: year, month, day, hour, minute, second. "
                       "Any other text sends this computer's clock."));
    bluetooth_ = captioned<QCheckBox>(QStringLiteral("PDA Bluetooth On/Off"), this);
    sound_ = captioned<QCheckBox>(QStringLiteral("App Sound On/Off"), this);
    volumeLabel_ = captioned<QLabel>(QStringLiteral("Sound Volume"), this);
    volume_ = new QComboBox(this);
    volume_->setAccessibleName(QStringLiteral("Sound Volume"));
    downloadTimeStamp_ = captioned<QCheckBox>(QStringLiteral("Time Stamp of Download Data"), this);

    // The radio buttons exclude each other through their group, not through their parent.
    auto* timeGroup = new QButtonGroup(this);
    timeGroup->addButton(timeSync_);
    timeGroup->addButton(handsOn_);

    const int factor = talvo::layoutFactor(this);
    auto* retryRow = new QHBoxLayout;
    retryRow->addWidget(retryLabel_);
    retryEdit_->setMaximumWidth(kNumberFieldWidth * factor);
    retryRow->addWidget(retryEdit_);
    retryRow->addWidget(retryArrows_);
    retryRow->addStretch(1);

    auto* timeGrid = new QGridLayout;
    timeGrid->addWidget(timeLabel_, 0, 0, 1, 2);
    timeGrid->addWidget(timeSync_, 1, 0, 1, 2);
    timeGrid->addWidget(handsOn_, 2, 0);
    timeGrid->addWidget(timeEdit_, 2, 1);
    timeGrid->setColumnStretch(1, 1);

    auto* timeStampRow = new QHBoxLayout;
    timeStampRow->addSpacing(kIndent * factor);
    timeStampRow->addWidget(timeStamp_);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(kMargin * factor, kMargin * factor, kMargin * factor, kMargin * factor);
    page->setSpacing(6 * factor);
    page->addLayout(retryRow);
    page->addWidget(iconTray_);
    page->addWidget(realTime_);
    page->addLayout(timeStampRow);
    page->addWidget(downloadTimeStamp_);
    page->addLayout(timeGrid);
    page->addWidget(bluetooth_);
    page->addWidget(sound_);
    page->addWidget(volumeLabel_);
    page->addWidget(volume_);
    page->addStretch(1);

    // Kept for the values they stand for; the program offers none of them.
    for (QWidget* hidden : std::initializer_list<QWidget*>{iconTray_, sound_, bluetooth_, volumeLabel_, volume_})
        hidden->setVisible(false);
}

void CSettingPage::showValues() {
    const QSignalBlocker blockStamp(timeStamp_);
    const QSignalBlocker blockReal(realTime_);
    const QSignalBlocker blockDown(downloadTimeStamp_);
    const QSignalBlocker blockTray(iconTray_);
    const QSignalBlocker blockSync(timeSync_);
    const QSignalBlocker blockHands(handsOn_);
    iconTray_->setChecked(values_.value(SettingKind::IconTray) != 0);
    timeStamp_->setChecked(values_.value(SettingKind::TimeStamp) != 0);
    realTime_->setChecked(values_.value(SettingKind::RealTime) != 0);
    downloadTimeStamp_->setChecked(values_.value(SettingKind::TimeStampOfDownData) != 0);
    if (values_.value(SettingKind::TimeSync) == 1) {
        timeSync_->setChecked(true);
    } else {
        timeEdit_->setText(talvo::fourteenDigitTime(QDateTime::currentDateTime()));
        handsOn_->setChecked(true);
    }
    updateTimeStampEnabled();
    retryArrows_->setRange(talvo::kConnectRetryMin, talvo::kConnectRetryMax);
    retryArrows_->setPosition(values_.value(SettingKind::ConnectRetry));
    retryEdit_->setText(QString::asprintf("%d", values_.value(SettingKind::ConnectRetry)));
}

void CSettingPage::connectControls() {
    connect(retryArrows_, &talvo::SpinArrows::stepped, this, &CSettingPage::onArrowsStepped);
    connect(iconTray_, &QCheckBox::toggled, this, [this](bool on) { change(SettingKind::IconTray, on ? 1 : 0); });
    connect(timeStamp_, &QCheckBox::toggled, this, [this](bool on) { change(SettingKind::TimeStamp, on ? 1 : 0); });
    connect(realTime_, &QCheckBox::toggled, this, [this](bool on) {
        change(SettingKind::RealTime, on ? 1 : 0);
        updateTimeStampEnabled();
    });
    connect(downloadTimeStamp_, &QCheckBox::toggled, this,
            [this](bool on) { change(SettingKind::TimeStampOfDownData, on ? 1 : 0); });
    // A radio button reports toggled twice per switch (off, then on); only the one turned on counts.
    connect(timeSync_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) change(SettingKind::TimeSync, 1);
    });
    connect(handsOn_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) change(SettingKind::TimeSync, 0);
    });
}

void CSettingPage::onArrowsStepped(int position) {
    // The typed text of the field is not read: the arrows' position alone decides.
    retryEdit_->setText(QString::asprintf("%d", position));
    change(SettingKind::ConnectRetry, position);
}

void CSettingPage::change(SettingKind kind, int value) {
    values_.setValue(kind, value);
    emit settingChanged(static_cast<int>(kind), value);
}

void CSettingPage::updateTimeStampEnabled() { timeStamp_->setEnabled(realTime_->isChecked()); }

talvo::ScannerTimeBytes CSettingPage::manualTime() const {
    return talvo::manualScannerTime(timeEdit_->text(), QDateTime::currentDateTime());
}

void CSettingPage::customEvent(QEvent* event) {
    auto* message = talvo::AppEvent::from(event);
    if (message == nullptr) return QWidget::customEvent(event);
    if (message->message() == talvo::AppMessage::GetManualTime) {
        if (auto* buffer = message->payload<talvo::ScannerTimeBytes>()) *buffer = manualTime();
        message->setResult(1);
    }
    // MsgDeviceEvent and the rest need nothing from this page.
}

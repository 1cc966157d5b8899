// The Setting page: the application settings a user edits. It owns the values from the program's start
// to its end: it reads them when it is built and writes them all back when it is destroyed. Every change
// is reported at once through settingChanged (kind, new value), which the main sheet turns into
// MsgSettingChanged. Hidden controls are kept so that the page offers what the settings file holds.
#pragma once

#include "pages/setting/manual_time.h"
#include "settings/app_settings.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace talvo {
class SpinArrows;
}

class CSettingPage : public QWidget {
    Q_OBJECT

public:
    // Reads the settings from QSettings("TalvoScan", "TalvoScan").
    explicit CSettingPage(QWidget* parent = nullptr);
    // Starts from the given values; they are still written to the settings file at destruction.
    CSettingPage(const talvo::AppSettings& initial, QWidget* parent);
    ~CSettingPage() override;

    CSettingPage(const CSettingPage&) = delete;
    CSettingPage& operator=(const CSettingPage&) = delete;

    // The seven values as the page holds them now.
    [[nodiscard]] talvo::AppSettings settings() const { return values_; }
    // The clock for a connecting scanner when "TimeSync" is 0: the time field, or the local time.
    [[nodiscard]] talvo::ScannerTimeBytes manualTime() const;
    // Writes the seven values now (also done at destruction).
    [[nodiscard]] bool writeSettings() const;

signals:
    void settingChanged(int kind, int value);

protected:
    // Answers MsgGetManualTime (payload ScannerTimeBytes, result 1).
    void customEvent(QEvent* event) override;

private:
    void buildControls();
    void showValues();
    void connectControls();
    void change(talvo::SettingKind kind, int value);
    void onArrowsStepped(int position);
    void updateTimeStampEnabled();

    talvo::AppSettings values_;
    QLabel* retryLabel_ = nullptr;
    QLineEdit* retryEdit_ = nullptr;
    talvo::SpinArrows* retryArrows_ = nullptr;
    QCheckBox* iconTray_ = nullptr;
    QCheckBox* timeStamp_ = nullptr;
    QCheckBox* realTime_ = nullptr;
    QLabel* timeLabel_ = nullptr;
    QRadioButton* timeSync_ = nullptr;
    QRadioButton* handsOn_ = nullptr;
    QLineEdit* timeEdit_ = nullptr;
    QCheckBox* bluetooth_ = nullptr;
    QCheckBox* sound_ = nullptr;
    QLabel* volumeLabel_ = nullptr;
    QComboBox* volume_ = nullptr;
    QCheckBox* downloadTimeStamp_ = nullptr;
};

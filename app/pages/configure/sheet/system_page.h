// The System page of the settings sheet: buttons that act at once on every scanner of the sheet and
// report the outcome per scanner (restore defaults, change the Bluetooth PIN, power-save time, erase the
// stored data, the cancel button). It has no apply box and does nothing at the sheet's OK.
//
// Each button is one transaction: the page's controls wait, a confirmation where there is one, the
// sheet's scanners asked for anew, one call per scanner on the configure worker, the report, the
// controls back. With no scanner the report is "No Connection Device".
#pragma once

#include "pages/configure/sheet/config_tab_page.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace talvo {
class SpinArrows;
}

namespace talvo::config {

// One scanner call of a System button; 0 is success.
using SystemCall = std::function<int(ScannerHandle)>;

// The report of a System button: the heading and a line per scanner, "\r\n<name>  <word>".
[[nodiscard]] QString systemReport(const QString& heading, const QStringList& names, const std::vector<bool>& done,
                                   const QString& doneWord = QStringLiteral("Done"));

// What is wrong with a PIN and its confirmation, in the order mismatch, length, digits; nothing when
// they are the same four digits.
[[nodiscard]] std::optional<QString> pinProblem(const QString& pin, const QString& confirmation);

class CSystemPage final : public ConfigTabPage {
    Q_OBJECT

public:
    static constexpr int kMaxPowerSave = 10;
    static constexpr int kDefaultPowerSave = 3;

    CSystemPage(SheetAccess& sheet, QWidget* parent);

    [[nodiscard]] QLineEdit* powerSaveField() const { return powerSaveField_; }
    [[nodiscard]] SpinArrows* powerSaveSpin() const { return powerSaveSpin_; }
    [[nodiscard]] QPushButton* powerSaveButton() const { return powerSaveOk_; }
    [[nodiscard]] QLineEdit* pinField() const { return pinField_; }
    [[nodiscard]] QLineEdit* confirmField() const { return confirmField_; }
    [[nodiscard]] QPushButton* changeButton() const { return changeButton_; }
    [[nodiscard]] QPushButton* defaultButton() const { return defaultOk_; }
    [[nodiscard]] QPushButton* eraseButton() const { return eraseOk_; }
    [[nodiscard]] QCheckBox* cancelButtonBox() const { return cancelBox_; }
    [[nodiscard]] QPushButton* cancelButtonOk() const { return cancelOk_; }

protected:
    void buildControls(QWidget* content) override;
    void startReading() override;
    [[nodiscard]] ApplyStep makeApplyStep() override { return {}; }

private:
    void restoreDefaults();
    void changePin();
    void setPowerSave();
    void eraseData();
    void setCancelButton();
    // Asks the sheet for its scanners and runs `call` on each on the worker; shows the report.
    void runOnAll(QPushButton* button, const QString& heading, SystemCall call,
                  const QString& doneWord = QStringLiteral("Done"));
    [[nodiscard]] bool confirmed(const QString& question);
    void clearPin();

    int powerSave_ = 0;
    QLineEdit* powerSaveField_ = nullptr;
    SpinArrows* powerSaveSpin_ = nullptr;
    QPushButton* powerSaveOk_ = nullptr;
    QLineEdit* pinField_ = nullptr;
    QLineEdit* confirmField_ = nullptr;
    QPushButton* changeButton_ = nullptr;
    QPushButton* defaultOk_ = nullptr;
    QPushButton* eraseOk_ = nullptr;
    QCheckBox* cancelBox_ = nullptr;
    QPushButton* cancelOk_ = nullptr;
    QCheckBox* ledBox_ = nullptr;
    QPushButton* ledOk_ = nullptr;
};

}  // namespace talvo::config

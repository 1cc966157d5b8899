// The Prefix/Suffix page of the settings sheet: the texts the scanner sends before and after every
// barcode, in the backslash notation that the help text explains (\r, \n, \t, \\). The page hands them
// to the SDK as typed; the SDK turns the notation into bytes when it writes and back when it reads. Each
// field takes at most 24 characters; a text longer than 24 bytes in the system's character set (or one
// without a form there) stops the whole write, silently.
#pragma once

#include "pages/configure/sheet/config_tab_page.h"

#include <QString>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace talvo::config {

struct AffixReading {
    std::optional<QString> prefix;
    std::optional<QString> suffix;
};

class CPrefixSuffixPage final : public ConfigTabPage {
    Q_OBJECT

public:
    static constexpr int kMaxLength = 24;
    static const QString kDefaultSuffix;  // backslash and r

    CPrefixSuffixPage(SheetAccess& sheet, QWidget* parent);

    [[nodiscard]] QLineEdit* prefixField() const { return prefixField_; }
    [[nodiscard]] QLineEdit* suffixField() const { return suffixField_; }
    [[nodiscard]] QPushButton* defaultButton() const { return defaultButton_; }
    [[nodiscard]] QLabel* helpText() const { return help_; }

protected:
    void buildControls(QWidget* content) override;
    void startReading() override;
    [[nodiscard]] ApplyStep makeApplyStep() override;

private:
    void showDefaults();
    void showReading(const AffixReading& reading);

    QLineEdit* prefixField_ = nullptr;
    QLineEdit* suffixField_ = nullptr;
    QLabel* help_ = nullptr;
    QLabel* codeHelp_ = nullptr;
    QPushButton* defaultButton_ = nullptr;
};

}  // namespace talvo::config

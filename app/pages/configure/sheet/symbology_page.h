// The Symbology page of the settings sheet: the 34 offered rows of the symbology option table in one
// list with a check box each (on/off options), five of them numbers edited in the value field below the
// list (arrows beside it step within the option's range; a typed number goes to the checks as it is) ("Set" checks the range, "Default" puts the table's values back). Read for exactly one scanner
// (34 reads on the configure worker); at OK with "Configure this tab" ticked, one scanner gets the rows
// that changed, several scanners get every row.
#pragma once

#include "controls/row_list_model.h"
#include "pages/configure/sheet/config_tab_page.h"

#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

namespace talvo {
class CListCtrlExt;
class SpinArrows;
}  // namespace talvo

namespace talvo::config {

// A list row: the option, the value it started with when the page opened, the name shown.
struct SymbologyRow {
    std::uint32_t code = 0;
    std::int32_t startValue = 0;
    QString name;

    [[nodiscard]] int group() const { return static_cast<int>(code >> 16); }
    [[nodiscard]] int item() const { return static_cast<int>(code & 0xFFFF); }
};

using SymbologyModel = RowListModel<SymbologyRow>;

// Whether `code` is one of the five numbers edited in the value field.
[[nodiscard]] bool isNumericOption(std::uint32_t code);

class CSymbologyPage final : public ConfigTabPage {
    Q_OBJECT

public:
    CSymbologyPage(SheetAccess& sheet, QWidget* parent);

    [[nodiscard]] CListCtrlExt* list() const { return list_; }
    [[nodiscard]] SymbologyModel* rows() const { return model_; }
    [[nodiscard]] QLineEdit* valueField() const { return valueField_; }
    [[nodiscard]] SpinArrows* valueSpin() const { return valueSpin_; }
    [[nodiscard]] QPushButton* setButton() const { return setButton_; }
    [[nodiscard]] QPushButton* defaultButton() const { return defaultButton_; }
    [[nodiscard]] QLabel* subOptionLabel() const { return subOption_; }
    [[nodiscard]] int selectedIndex() const { return selected_; }
    // The number kept for a numeric option (0 for any other code).
    [[nodiscard]] int numericValue(std::uint32_t code) const;

    // What "Set" does: checks the typed number against the selected row and keeps it, or says why not.
    void setValue();
    // What "Default" does.
    void restoreDefaults();

protected:
    void buildControls(QWidget* content) override;
    void startReading() override;
    [[nodiscard]] ApplyStep makeApplyStep() override;
    void layOutControls() override;
    void customEvent(QEvent* event) override;

private:
    // Fills the list in table order with `values` (one per offered row).
    void fillRows(const std::vector<std::int32_t>& values);
    void onOptionSelected(int index, bool numeric);
    void showValueControls(bool shown);
    // The message refusing `value` for `code`, or nothing when it is accepted.
    [[nodiscard]] std::optional<QString> refusal(std::uint32_t code, int value) const;

    std::map<std::uint32_t, int> numbers_;  // the five numeric slots
    int selected_ = 0;
    int fieldValue_ = 0;
    CListCtrlExt* list_ = nullptr;
    SymbologyModel* model_ = nullptr;
    QLabel* subOption_ = nullptr;
    QLineEdit* valueField_ = nullptr;
    SpinArrows* valueSpin_ = nullptr;  // bounded by the selected option's range; not the field's buddy
    QPushButton* setButton_ = nullptr;
    QPushButton* defaultButton_ = nullptr;
};

}  // namespace talvo::config

// A number typed into a plain text field, as the pages take it at OK.
#pragma once

#include <QString>

#include <optional>

class QLineEdit;
class QWidget;

namespace talvo::config {

// The whole number in `field` (surrounding blanks allowed), or nothing.
[[nodiscard]] std::optional<int> wholeNumberOf(const QLineEdit* field);

// The whole number in `field`; otherwise "Please enter an integer." (parent: `boxParent`), the focus
// goes to the field and nothing is returned.
[[nodiscard]] std::optional<int> takeWholeNumber(QLineEdit* field, QWidget* boxParent);

}  // namespace talvo::config

#include "pages/configure/sheet/number_field.h"

#include "messages/message_box.h"

#include <QLineEdit>

namespace talvo::config {

std::optional<int> wholeNumberOf(const QLineEdit* field) {
    bool whole = false;
    const int value = field->text().trimmed().toInt(&whole);
    return whole ? std::optional<int>(value) : std::nullopt;
}

std::optional<int> takeWholeNumber(QLineEdit* field, QWidget* boxParent) {
    if (auto value = wholeNumberOf(field)) return value;
    (void)MessageBox::information(boxParent, QStringLiteral("Please enter an integer."));
    field->setFocus();
    return std::nullopt;
}

}  // namespace talvo::config

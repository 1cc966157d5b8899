// Labels whose text changes while they are shown (a scanner's version, a busy note): the accessible name
// follows the text, so that a screen reader announces what is on the screen, not what the label was
// built with.
#pragma once

#include <QLabel>
#include <QString>

namespace talvo {

inline void showLabelText(QLabel* label, const QString& text) {
    label->setText(text);
    label->setAccessibleName(text);
}

}  // namespace talvo

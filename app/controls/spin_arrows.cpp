#include "controls/spin_arrows.h"

#include "controls/spin_arrows_accessible.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <algorithm>

namespace talvo {

SpinArrows::SpinArrows(QWidget* parent) : QAbstractSpinBox(parent) {
    SpinArrowsAccessible::install();
    // Only the arrows are shown; the number lives in the field beside them.
    lineEdit()->setReadOnly(true);
    lineEdit()->setVisible(false);
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setFrame(false);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    setFocusPolicy(Qt::StrongFocus);
}

void SpinArrows::setRange(int minimum, int maximum) {
    minimum_ = std::min(minimum, maximum);
    maximum_ = std::max(minimum, maximum);
    setPosition(position_);
}

void SpinArrows::setPosition(int position) {
    position_ = std::clamp(position, minimum_, maximum_);
    update();
}

void SpinArrows::stepBy(int steps) {
    // Widened so that a huge step count from a wheel cannot overflow.
    const long long moved = static_cast<long long>(position_) + steps;
    position_ = static_cast<int>(std::clamp<long long>(moved, minimum_, maximum_));
    update();
    emit stepped(position_);
}

QAbstractSpinBox::StepEnabled SpinArrows::stepEnabled() const {
    // Both arrows always act, so that a step at a bound is still reported (and changes nothing).
    return StepUpEnabled | StepDownEnabled;
}

QSize SpinArrows::sizeHint() const {
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QRect up = style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, this);
    const int width = std::max(up.width(), style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
    const int height = QAbstractSpinBox::sizeHint().height();
    return {width + 2, height};
}

QSize SpinArrows::minimumSizeHint() const { return sizeHint(); }

}  // namespace talvo

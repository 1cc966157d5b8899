// Up and down arrows standing on their own, to the right of a plain text field that shows the number.
// The arrows keep a position within a range; each step moves it and reports the new position, also
// when the position stays at a bound. The field is not their buddy: what is typed there is not read.
// Keyboard (Up, Down, Page Up, Page Down), wheel and assistive technologies (increase and decrease
// actions of a spin box) all step the arrows.
#pragma once

#include <QAbstractSpinBox>

namespace talvo {

class SpinArrows : public QAbstractSpinBox {
    Q_OBJECT
    Q_PROPERTY(int value READ position WRITE setPosition)

public:
    explicit SpinArrows(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    [[nodiscard]] int minimum() const { return minimum_; }
    [[nodiscard]] int maximum() const { return maximum_; }
    [[nodiscard]] int position() const { return position_; }
    // Moves the position without reporting it, limited to the range.
    void setPosition(int position);

    void stepBy(int steps) override;
    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

signals:
    // A step by the user: the new position, already limited to the range.
    void stepped(int position);

protected:
    [[nodiscard]] StepEnabled stepEnabled() const override;

private:
    int minimum_ = 0;
    int maximum_ = 99;
    int position_ = 0;
};

}  // namespace talvo

// What assistive technologies see of the spin arrows: a spin box named like the field beside it, with
// the actions increase and decrease and the arrows' position as its value. Each acts as a step of the
// arrows, so the page hears of it exactly as of a click.
#pragma once

#include <QAccessibleWidget>

namespace talvo {

class SpinArrows;

class SpinArrowsAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SpinArrowsAccessible(SpinArrows* arrows);

    // Makes Qt use this interface for every SpinArrows; safe to call more than once.
    static void install();

    void* interface_cast(QAccessible::InterfaceType type) override;
    [[nodiscard]] QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    [[nodiscard]] QStringList keyBindingsForAction(const QString& actionName) const override;

    [[nodiscard]] QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    [[nodiscard]] QVariant maximumValue() const override;
    [[nodiscard]] QVariant minimumValue() const override;
    [[nodiscard]] QVariant minimumStepSize() const override;

private:
    [[nodiscard]] SpinArrows* arrows() const;
};

}  // namespace talvo

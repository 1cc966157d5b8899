#include "controls/spin_arrows_accessible.h"

#include "controls/spin_arrows.h"

namespace talvo {
namespace {

QAccessibleInterface* createInterface(const QString& className, QObject* object) {
    if (className == QLatin1String(SpinArrows::staticMetaObject.className()) && object->isWidgetType())
        return new SpinArrowsAccessible(static_cast<SpinArrows*>(object));  // owned by Qt's cache
    return nullptr;
}

}  // namespace

SpinArrowsAccessible::SpinArrowsAccessible(SpinArrows* arrows) : QAccessibleWidget(arrows, QAccessible::SpinBox) {}

void SpinArrowsAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(createInterface);
        return true;
    }();
    (void)installed;
}

SpinArrows* SpinArrowsAccessible::arrows() const { return static_cast<SpinArrows*>(widget()); }

void* SpinArrowsAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QStringList SpinArrowsAccessible::actionNames() const {
    return QStringList{increaseAction(), decreaseAction()} + QAccessibleWidget::actionNames();
}

void SpinArrowsAccessible::doAction(const QString& actionName) {
    if (!widget()->isEnabled()) return;
    if (actionName == increaseAction())
        arrows()->stepBy(1);
    else if (actionName == decreaseAction())
        arrows()->stepBy(-1);
    else
        QAccessibleWidget::doAction(actionName);
}

QStringList SpinArrowsAccessible::keyBindingsForAction(const QString& actionName) const {
    if (actionName == increaseAction()) return {QStringLiteral("Up")};
    if (actionName == decreaseAction()) return {QStringLiteral("Down")};
    return QAccessibleWidget::keyBindingsForAction(actionName);
}

QVariant SpinArrowsAccessible::currentValue() const { return arrows()->position(); }

void SpinArrowsAccessible::setCurrentValue(const QVariant& value) {
    bool ok = false;
    const int wanted = value.toInt(&ok);
    if (ok && widget()->isEnabled()) arrows()->stepBy(wanted - arrows()->position());
}

QVariant SpinArrowsAccessible::maximumValue() const { return arrows()->maximum(); }
QVariant SpinArrowsAccessible::minimumValue() const { return arrows()->minimum(); }
QVariant SpinArrowsAccessible::minimumStepSize() const { return 1; }

}  // namespace talvo

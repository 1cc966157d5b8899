#include "controls/painted_lines_accessible.h"

#include <QWidget>

#include <mutex>

namespace talvo {
namespace {

// One painted line: static text whose parent is the widget's interface. It owns nothing; the parent
// interface answers for it, so it stays valid while the parent does.
class PaintedLineAccessible : public QAccessibleInterface {
public:
    PaintedLineAccessible(const PaintedLinesAccessible* parent, int index) : parent_(parent), index_(index) {}

    [[nodiscard]] bool isValid() const override { return parent_->isValid(); }
    [[nodiscard]] QObject* object() const override { return nullptr; }
    [[nodiscard]] QWindow* window() const override { return parent_->window(); }
    [[nodiscard]] QAccessibleInterface* parent() const override { return const_cast<PaintedLinesAccessible*>(parent_); }
    [[nodiscard]] QAccessibleInterface* child(int) const override { return nullptr; }
    [[nodiscard]] int childCount() const override { return 0; }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    [[nodiscard]] QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    [[nodiscard]] QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? parent_->lineText(index_) : QString{};
    }
    void setText(QAccessible::Text, const QString&) override {}
    [[nodiscard]] QRect rect() const override { return parent_->lineScreenRect(index_); }
    [[nodiscard]] QAccessible::Role role() const override { return QAccessible::StaticText; }
    [[nodiscard]] QAccessible::State state() const override {
        QAccessible::State s;
        s.readOnly = true;
        s.invisible = parent_->state().invisible;
        return s;
    }

private:
    const PaintedLinesAccessible* parent_;
    int index_;
};

QAccessibleInterface* paintedLinesFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    const auto* painted = dynamic_cast<const PaintedLines*>(widget);
    return painted != nullptr ? new PaintedLinesAccessible(widget, painted->paintedRole()) : nullptr;
}

}  // namespace

PaintedLinesAccessible::PaintedLinesAccessible(QWidget* widget, QAccessible::Role role)
    : QAccessibleWidget(widget, role) {}

PaintedLinesAccessible::~PaintedLinesAccessible() {
    for (const QAccessible::Id id : childIds_) QAccessible::deleteAccessibleInterface(id);
}

const PaintedLines* PaintedLinesAccessible::lines() const { return dynamic_cast<const PaintedLines*>(widget()); }

QString PaintedLinesAccessible::lineText(int i) const {
    const PaintedLines* painted = lines();
    if (painted == nullptr) return {};
    const QStringList all = painted->paintedLines();
    return i >= 0 && i < all.size() ? all[i] : QString{};
}

QRect PaintedLinesAccessible::lineScreenRect(int i) const {
    const PaintedLines* painted = lines();
    if (painted == nullptr || widget() == nullptr) return {};
    const QRect local = painted->paintedLineRect(i);
    return QRect(widget()->mapToGlobal(local.topLeft()), local.size());
}

int PaintedLinesAccessible::childCount() const {
    const PaintedLines* painted = lines();
    return painted != nullptr ? static_cast<int>(painted->paintedLines().size()) : 0;
}

QAccessibleInterface* PaintedLinesAccessible::child(int index) const {
    if (index < 0 || index >= childCount()) return nullptr;
    while (childIds_.size() <= index) {
        childIds_.append(QAccessible::registerAccessibleInterface(
            new PaintedLineAccessible(this, static_cast<int>(childIds_.size()))));
    }
    return QAccessible::accessibleInterface(childIds_[index]);
}

int PaintedLinesAccessible::indexOfChild(const QAccessibleInterface* child) const {
    for (int i = 0; i < childIds_.size() && i < childCount(); ++i)
        if (QAccessible::accessibleInterface(childIds_[i]) == child) return i;
    return -1;
}

QAccessibleInterface* PaintedLinesAccessible::childAt(int x, int y) const {
    for (int i = 0; i < childCount(); ++i)
        if (lineScreenRect(i).contains(x, y)) return child(i);
    return nullptr;
}

QString PaintedLinesAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Name && widget() != nullptr && widget()->accessibleName().isEmpty()) {
        const PaintedLines* painted = lines();
        return painted != nullptr ? painted->paintedLines().join(QLatin1Char('\n')) : QString{};
    }
    return QAccessibleWidget::text(t);
}

void PaintedLinesAccessible::installFactory() {
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(paintedLinesFactory); });
}

}  // namespace talvo

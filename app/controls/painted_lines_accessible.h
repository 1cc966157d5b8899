#pragma once

#include <QAccessibleWidget>
#include <QList>
#include <QRect>
#include <QString>

namespace talvo {

// A widget that paints lines of text itself and tells assistive technologies what they are.
class PaintedLines {
public:
    virtual ~PaintedLines() = default;
    // The lines as painted, top to bottom.
    [[nodiscard]] virtual QStringList paintedLines() const = 0;
    // Where line i stands, in the widget's coordinates.
    [[nodiscard]] virtual QRect paintedLineRect(int i) const = 0;
    // What the widget is to assistive technologies: static text, unless it is a whole page.
    [[nodiscard]] virtual QAccessible::Role paintedRole() const { return QAccessible::StaticText; }
};

// Accessible interface of such a widget: one static-text child per painted line, so that a screen
// reader (or a test from outside) reads the same lines that the user sees. The widget's own name is
// its accessibleName(), or else its lines joined by line feeds.
class PaintedLinesAccessible : public QAccessibleWidget {
public:
    PaintedLinesAccessible(QWidget* widget, QAccessible::Role role);
    ~PaintedLinesAccessible() override;
    PaintedLinesAccessible(const PaintedLinesAccessible&) = delete;
    PaintedLinesAccessible& operator=(const PaintedLinesAccessible&) = delete;

    [[nodiscard]] int childCount() const override;
    [[nodiscard]] QAccessibleInterface* child(int index) const override;
    [[nodiscard]] int indexOfChild(const QAccessibleInterface* child) const override;
    [[nodiscard]] QAccessibleInterface* childAt(int x, int y) const override;
    [[nodiscard]] QString text(QAccessible::Text t) const override;

    [[nodiscard]] QString lineText(int i) const;
    [[nodiscard]] QRect lineScreenRect(int i) const;

    // Installs the factory that gives every widget that is also PaintedLines this interface (once per
    // process).
    static void installFactory();

private:
    [[nodiscard]] const PaintedLines* lines() const;

    mutable QList<QAccessible::Id> childIds_;  // registered with Qt's cache, removed in the destructor
};

}  // namespace talvo

#pragma once

#include "controls/painted_lines_accessible.h"

#include <QStringList>
#include <QWidget>

#include <functional>

namespace talvo {

// The "About" tab: five lines (product, product version, this build's version, its licence, where its
// source lives), spread evenly over the page's height with equal gaps above, between and below them,
// left-aligned 10 scaled pixels from the left edge. A sixth line, when the program gives one, says how
// barcodes are typed into other applications; it is asked for at every paint, as it changes at run time.
class CAboutPage : public QWidget, public PaintedLines {
    Q_OBJECT

public:
    static constexpr int kLineCount = 5;
    // Margin left of the lines, in units of the layout factor.
    static constexpr int kLeftMargin = 10;

    explicit CAboutPage(QWidget* parent = nullptr);

    // The five texts, top to bottom.
    [[nodiscard]] static QStringList lines();
    // The line under the five that names the keyboard output in use (or why there is none).
    void setKeyboardDescription(std::function<QString()> describe);

    // The lines as painted: the five, and the keyboard line when there is one.
    [[nodiscard]] QStringList paintedLines() const override;
    [[nodiscard]] QRect paintedLineRect(int i) const override;
    [[nodiscard]] QAccessible::Role paintedRole() const override { return QAccessible::Pane; }
    // Rectangles of the painted lines for the page's present size and font.
    [[nodiscard]] QList<QRect> lineRects() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<QString()> keyboardDescription_;
};

}  // namespace talvo

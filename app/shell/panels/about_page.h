#pragma once

#include "shell/panels/painted_lines_accessible.h"

#include <QStringList>
#include <QWidget>

namespace talvo {

// The "About" tab: five lines (product, product version, this build's version, its licence, where its
// source lives), spread evenly over the page's height with equal gaps above, between and below them,
// left-aligned 10 scaled pixels from the left edge.
class CAboutPage : public QWidget, public PaintedLines {
  Q_OBJECT

public:
  static constexpr int kLineCount = 5;
  // Margin left of the lines, in units of the layout factor.
  static constexpr int kLeftMargin = 10;

  explicit CAboutPage(QWidget* parent = nullptr);

  // The five texts, top to bottom.
  [[nodiscard]] static QStringList lines();

  [[nodiscard]] QStringList paintedLines() const override { return lines(); }
  [[nodiscard]] QRect paintedLineRect(int i) const override;
  // Rectangles of all five lines for the page's present size and font.
  [[nodiscard]] QList<QRect> lineRects() const;

protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace talvo

#include "pages/about/about_page.h"

#include "controls/layout_factor.h"

#include <QPainter>

#include <algorithm>

#ifndef TALVO_BUILD_VERSION
#error "TALVO_BUILD_VERSION must come from the build (the project's version)"
#endif
#ifndef TALVO_LICENCE
#define TALVO_LICENCE "MIT"
#endif
#ifndef TALVO_SOURCE_LOCATION
#define TALVO_SOURCE_LOCATION "the ZT330 repository"
#endif

namespace talvo {
namespace {

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

}  // namespace

CAboutPage::CAboutPage(QWidget* parent) : QWidget(parent) {
    PaintedLinesAccessible::installFactory();
    setAccessibleName(QStringLiteral("About"));
    setContextMenuPolicy(Qt::PreventContextMenu);
}

QStringList CAboutPage::lines() {
    return {QStringLiteral("Talvo Scan"), QStringLiteral("Version 1.2"),
            QStringLiteral("Program build %1").arg(QStringLiteral(TALVO_BUILD_VERSION)),
            QStringLiteral("Licence: %1").arg(QStringLiteral(TALVO_LICENCE)),
            QStringLiteral("Source: %1").arg(QStringLiteral(TALVO_SOURCE_LOCATION))};
}

void CAboutPage::setKeyboardDescription(std::function<QString()> describe) {
    keyboardDescription_ = std::move(describe);
    update();
}

QStringList CAboutPage::paintedLines() const {
    QStringList texts = lines();
    if (keyboardDescription_) texts.append(keyboardDescription_());
    return texts;
}

QList<QRect> CAboutPage::lineRects() const {
    const int left = kLeftMargin * layoutFactor(this);
    // Lines are measured in the width they are drawn in, so that a wrapped line gets its full height.
    const int textWidth = std::max(1, width() - left);
    const QStringList texts = paintedLines();
    QList<int> heights;
    int total = 0;
    for (const QString& line : texts) {
        heights.append(fontMetrics().boundingRect(QRect(0, 0, textWidth, 1 << 20), kTextFlags, line).height());
        total += heights.back();
    }
    // A page lower than its lines gets no gaps rather than lines drawn over each other.
    // Gaps: one above each line and one below the last.
    const int gap = std::max(0, (height() - total) / (static_cast<int>(texts.size()) + 1));
    QList<QRect> rects;
    int y = 0;
    for (const int h : heights) {
        y += gap;
        rects.append(QRect(left, y, textWidth, h));
        y += h;
    }
    return rects;
}

QRect CAboutPage::paintedLineRect(int i) const {
    const QList<QRect> rects = lineRects();
    return i >= 0 && i < rects.size() ? rects[i] : QRect{};
}

void CAboutPage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    const QStringList texts = paintedLines();
    const QList<QRect> rects = lineRects();
    for (int i = 0; i < texts.size(); ++i) painter.drawText(rects[i], kTextFlags, texts[i]);
}

}  // namespace talvo

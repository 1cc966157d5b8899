#include "controls/x_header_ctrl.h"

#include "controls/layout_factor.h"

#include <QIcon>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace talvo {
namespace {

// Side of the check box and the tick's offsets, in units of the layout factor.
constexpr int kBoxSide = 14;
constexpr int kTickStartX = 10;
constexpr int kTickStartY = 3;
constexpr int kTickStrokeLength = 3;
constexpr int kTickLongArm = 5;
constexpr int kTickShortArm = 3;
// Separators stop this far short of the header's top and bottom.
constexpr int kSeparatorInset = 2;

}  // namespace

CXHeaderCtrl::CXHeaderCtrl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(true);
    setHighlightSections(false);
    setSortIndicatorShown(false);
    setDefaultAlignment(Qt::AlignCenter);
}

void CXHeaderCtrl::setCheckBox(CheckBox state) {
    if (model() == nullptr) return;
    QVariant value;
    if (state == CheckBox::Checked) value = QVariant::fromValue(Qt::Checked);
    if (state == CheckBox::Unchecked) value = QVariant::fromValue(Qt::Unchecked);
    model()->setHeaderData(0, Qt::Horizontal, value, Qt::CheckStateRole);
    // A header that shows a box is a stop of the keyboard's way through the window.
    setFocusPolicy(state == CheckBox::None ? Qt::NoFocus : Qt::TabFocus);
}

CXHeaderCtrl::CheckBox CXHeaderCtrl::checkBox() const {
    if (model() == nullptr || model()->columnCount() == 0) return CheckBox::None;
    const QVariant value = model()->headerData(0, Qt::Horizontal, Qt::CheckStateRole);
    if (!value.isValid()) return CheckBox::None;
    return value.value<Qt::CheckState>() == Qt::Checked ? CheckBox::Checked : CheckBox::Unchecked;
}

QRect CXHeaderCtrl::checkBoxRect(const QRect& section, int k) {
    const int side = kBoxSide * k;
    // At factor 1 the offset 3k - 6 would put the box partly outside its item; it stops at the edge.
    const int left = section.left() + std::max(0, 3 * k - 6);
    const int top = section.top() + (section.height() - side) / 2;
    return {left, top, side, side};
}

QList<QLine> CXHeaderCtrl::tickStrokes(const QRect& box, int k) {
    // Vertical strokes of 3k pixels: 5k going left and down from the upper right, then 3k going left
    // and up, which draws a tick from its long arm to its short one.
    QList<QLine> strokes;
    const int length = kTickStrokeLength * k;
    int x = box.left() + kTickStartX * k;
    int y = box.top() + kTickStartY * k;
    for (int i = 0; i < kTickLongArm * k; ++i, --x, ++y) strokes.append(QLine(x, y, x, y + length - 1));
    for (int i = 0; i < kTickShortArm * k; ++i, --x, --y) strokes.append(QLine(x, y, x, y + length - 1));
    return strokes;
}

// The focus frame comes and goes with the focus.
void CXHeaderCtrl::focusInEvent(QFocusEvent* event) {
    QHeaderView::focusInEvent(event);
    viewport()->update();
}

void CXHeaderCtrl::focusOutEvent(QFocusEvent* event) {
    QHeaderView::focusOutEvent(event);
    viewport()->update();
}

void CXHeaderCtrl::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect area = event->rect();
    const int height = viewport()->height();
    int lastVisible = -1;
    for (int visual = count() - 1; visual >= 0 && lastVisible < 0; --visual) {
        if (!isSectionHidden(logicalIndex(visual))) lastVisible = visual;
    }
    int end = 0;
    for (int visual = 0; visual <= lastVisible; ++visual) {
        const int logical = logicalIndex(visual);
        if (isSectionHidden(logical)) continue;
        const QRect section(sectionViewportPosition(logical), 0, sectionSize(logical), height);
        end = std::max(end, section.left() + section.width());
        if (!section.intersects(area)) continue;
        painter.save();
        painter.setClipRect(section);
        paintSection(&painter, section, logical);
        painter.restore();
        if (visual != lastVisible) paintSeparator(painter, section);
    }
    if (end < viewport()->width()) paintRemainder(painter, QRect(end, 0, viewport()->width() - end, height));
}

void CXHeaderCtrl::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    const QPalette& pal = palette();
    painter->fillRect(rect, pal.color(QPalette::Button));
    if (model() == nullptr) return;
    const int k = layoutFactor(this);

    int textLeft = rect.left() + kTextGap;
    if (logicalIndex == 0 && checkBox() != CheckBox::None) {
        paintCheckBox(*painter, rect);
        textLeft = checkBoxRect(rect, k).right() + 1 + kTextGap;
    }
    const QVariant decoration = model()->headerData(logicalIndex, Qt::Horizontal, Qt::DecorationRole);
    if (const QIcon icon = decoration.value<QIcon>(); !icon.isNull()) {
        const int side = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
        const QRect iconRect(textLeft, rect.top() + (rect.height() - side) / 2, side, side);
        icon.paint(painter, iconRect);
        textLeft = iconRect.right() + 1 + kTextGap;
    }

    const QVariant alignValue = model()->headerData(logicalIndex, Qt::Horizontal, Qt::TextAlignmentRole);
    const Qt::Alignment horizontal =
        (alignValue.isValid() ? alignValue.value<Qt::Alignment>() : defaultAlignment()) & Qt::AlignHorizontal_Mask;
    const QRect textRect(QPoint(textLeft, rect.top()), QPoint(rect.right() - kTextGap, rect.bottom()));
    const QString text = model()->headerData(logicalIndex, Qt::Horizontal, Qt::DisplayRole).toString();
    painter->setPen(pal.color(QPalette::ButtonText));
    painter->setFont(font());
    painter->drawText(textRect, int(horizontal | Qt::AlignVCenter | Qt::TextSingleLine),
                      painter->fontMetrics().elidedText(text, Qt::ElideRight, std::max(0, textRect.width())));
}

void CXHeaderCtrl::paintCheckBox(QPainter& painter, const QRect& section) const {
    const int k = layoutFactor(this);
    const QRect box = checkBoxRect(section, k);
    const QPalette& pal = palette();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(box, pal.color(QPalette::Base));
    painter.setPen(QPen(pal.color(QPalette::Text), 0));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    if (checkBox() == CheckBox::Checked) painter.drawLines(tickStrokes(box, k));
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
        // The keyboard is on the box: a dotted frame around it, as around a focused check box.
        painter.setPen(QPen(pal.color(QPalette::Text), 0, Qt::DotLine));
        painter.drawRect(box.adjusted(-2 * k, -2 * k, 2 * k - 1, 2 * k - 1));
    }
    painter.restore();
}

void CXHeaderCtrl::paintSeparator(QPainter& painter, const QRect& section) const {
    const QPalette& pal = palette();
    const int top = section.top() + kSeparatorInset;
    const int bottom = section.bottom() - kSeparatorInset;
    const int edge = section.left() + section.width() - 1;
    painter.setPen(QPen(pal.color(QPalette::Dark), 0));
    painter.drawLine(edge - 1, top, edge - 1, bottom);
    painter.setPen(QPen(pal.color(QPalette::Light), 0));
    painter.drawLine(edge, top, edge, bottom);
}

void CXHeaderCtrl::paintRemainder(QPainter& painter, const QRect& area) const {
    const QPalette& pal = palette();
    painter.fillRect(area, pal.color(QPalette::Button));
    painter.setPen(QPen(pal.color(QPalette::Light), 0));
    painter.drawLine(area.topLeft(), area.topRight());
    painter.drawLine(area.topLeft(), area.bottomLeft());
    painter.setPen(QPen(pal.color(QPalette::Dark), 0));
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    painter.drawLine(area.topRight(), area.bottomRight());
}

void CXHeaderCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a quick double click is a press like any other: its release clicks again.
    mousePressEvent(event);
}

QSize CXHeaderCtrl::sectionSizeFromContents(int logicalIndex) const {
    QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
    if (logicalIndex == 0 && checkBox() != CheckBox::None) {
        const int k = layoutFactor(this);
        const QRect box = checkBoxRect(QRect(0, 0, 0, 0), k);
        size.rwidth() += box.right() + 1 + kTextGap;
        size.rheight() = std::max(size.height(), box.height() + 2 * kSeparatorInset);
    }
    return size;
}

}  // namespace talvo

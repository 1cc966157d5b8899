#pragma once

#include <QHeaderView>

namespace talvo {

// Horizontal column header that paints itself: flat items with their text (aligned as the model's
// TextAlignmentRole says) and icon, separators between the items, and a drawn check box in front of
// the text of section 0 while checkBox() is not None. Texts, alignment, icons and the check box state
// (Qt::CheckStateRole of section 0) come from the model's headerData, so the state travels with the
// model and is what assistive technologies read. A double click counts as a further press, so two
// quick clicks are two clicks.
class CXHeaderCtrl : public QHeaderView {
    Q_OBJECT

public:
    // What section 0 shows in front of its text.
    enum class CheckBox { None, Unchecked, Checked };
    Q_ENUM(CheckBox)

    // Space between an item's check box or icon and its text, in pixels.
    static constexpr int kTextGap = 6;

    explicit CXHeaderCtrl(QWidget* parent = nullptr);

    // Stores the state in the model (setHeaderData); without a model that takes it, nothing is shown.
    // While it shows a box the header takes the keyboard focus (Tab, and Up from the list's first row).
    void setCheckBox(CheckBox state);
    [[nodiscard]] CheckBox checkBox() const;

    // Where the check box stands in a section rectangle at layout factor k: a square of side 14k,
    // vertically centred, its left edge 3k - 6 pixels (never less than 0) right of the section's.
    [[nodiscard]] static QRect checkBoxRect(const QRect& section, int k);
    // Pixels of the tick inside `box` (those the painter sets black), for tests and painting alike.
    [[nodiscard]] static QList<QLine> tickStrokes(const QRect& box, int k);

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    [[nodiscard]] QSize sectionSizeFromContents(int logicalIndex) const override;

private:
    void paintCheckBox(QPainter& painter, const QRect& section) const;
    void paintSeparator(QPainter& painter, const QRect& section) const;
    void paintRemainder(QPainter& painter, const QRect& area) const;
};

}  // namespace talvo

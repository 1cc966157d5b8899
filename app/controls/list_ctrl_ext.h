#pragma once

#include "controls/check_list_model.h"
#include "controls/x_header_ctrl.h"

#include <QTableView>

namespace talvo {

// Report-view list over a CheckListModel: whole rows are selected (one at a time), column 0 of a
// checkable model shows a check box per row, Space toggles the current row's check box, and the
// column header (a CXHeaderCtrl) can show a check box of its own that ticks or unticks every row.
//
// The keyboard alone works it all: Up and Down move the current row and select it; Space toggles the
// current row's box. While the header shows its box, that box is the keyboard's stop before the rows:
// Tab from the control before the list reaches it, Tab again the rows, Shift+Tab back (and Up from the
// first row); there Space flips it and Down goes to the rows.
//
// Header check box rules: setHeaderCheck(false) shows it unticked (lists that use it call this right
// after creation; until then the header shows none). A click on any header section then flips the
// all-checked flag and sets every row's check box to it, first row to last. Ticking rows one by one
// does not change the header.
class CListCtrlExt : public QTableView {
    Q_OBJECT

public:
    explicit CListCtrlExt(QWidget* parent = nullptr);

    // Takes a CheckListModel (any other model is refused with a warning); the view does not own it.
    void setModel(QAbstractItemModel* model) override;
    [[nodiscard]] CheckListModel* listModel() const { return model_; }
    [[nodiscard]] CXHeaderCtrl* headerCtrl() const { return header_; }

    // Shows the header check box ticked or unticked; the all-checked flag follows.
    void setHeaderCheck(bool checked);
    [[nodiscard]] bool allChecked() const { return allChecked_; }
    // What a click on a header section does (also reachable for keyboard and assistive use).
    void toggleHeaderCheck();

    // Index of the current row, or -1.
    [[nodiscard]] int currentRow() const;

signals:
    // The header check box was flipped by a click and the rows were set to `checked`.
    void headerCheckToggled(bool checked);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void keepCurrentIndex();
    // The current row becomes the selected one too (keys move the current row).
    void selectCurrentRow();
    [[nodiscard]] bool headerIsStop() const { return header_->focusPolicy() != Qt::NoFocus; }
    // Moves the focus between the header's box and the rows.
    void focusWithin(QWidget* target, Qt::FocusReason reason);
    // Moves the focus on as Tab (or Shift+Tab) would, with `skipped` passed over.
    bool passOver(QWidget* skipped, bool next);
    void forgetAccessibleCells();

    CXHeaderCtrl* header_;
    CheckListModel* model_ = nullptr;
    bool allChecked_ = false;
    bool movingWithin_ = false;  // the focus goes between the header's box and the rows
};

}  // namespace talvo

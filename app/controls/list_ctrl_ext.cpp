#include "controls/list_ctrl_ext.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QtGlobal>

namespace talvo {

CListCtrlExt::CListCtrlExt(QWidget* parent) : QTableView(parent), header_(new CXHeaderCtrl(this)) {
    setHorizontalHeader(header_);
    verticalHeader()->hide();
    setShowGrid(false);
    setWordWrap(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    header_->setStretchLastSection(true);
    connect(header_, &QHeaderView::sectionClicked, this, [this](int) { toggleHeaderCheck(); });
    header_->installEventFilter(this);
}

void CListCtrlExt::setModel(QAbstractItemModel* model) {
    auto* listModel = qobject_cast<CheckListModel*>(model);
    if (model != nullptr && listModel == nullptr) {
        qWarning("CListCtrlExt: the model must be a CheckListModel");
        return;
    }
    if (model_ != nullptr) disconnect(model_, nullptr, this, nullptr);
    const CXHeaderCtrl::CheckBox shown = header_->checkBox();
    model_ = listModel;
    QTableView::setModel(listModel);
    if (model_ == nullptr) return;
    header_->setCheckBox(shown);
    // Assistive technologies ask the view for its current cell; keep one whenever there are rows.
    connect(model_, &QAbstractItemModel::rowsInserted, this, &CListCtrlExt::keepCurrentIndex);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, &CListCtrlExt::keepCurrentIndex);
    connect(model_, &QAbstractItemModel::modelReset, this, &CListCtrlExt::keepCurrentIndex);
    for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved,
                              &QAbstractItemModel::columnsInserted, &QAbstractItemModel::columnsRemoved}) {
        connect(model_, signal, this, &CListCtrlExt::forgetAccessibleCells);
    }
    connect(model_, &QAbstractItemModel::rowsMoved, this, &CListCtrlExt::forgetAccessibleCells);
    connect(model_, &QAbstractItemModel::modelReset, this, &CListCtrlExt::forgetAccessibleCells);
    connect(model_, &QAbstractItemModel::layoutChanged, this, &CListCtrlExt::forgetAccessibleCells);
    keepCurrentIndex();
}

void CListCtrlExt::setHeaderCheck(bool checked) {
    allChecked_ = checked;
    header_->setCheckBox(checked ? CXHeaderCtrl::CheckBox::Checked : CXHeaderCtrl::CheckBox::Unchecked);
}

void CListCtrlExt::toggleHeaderCheck() {
    // Only a header that shows the box acts on clicks; lists without it ignore them.
    if (header_->checkBox() == CXHeaderCtrl::CheckBox::None) return;
    setHeaderCheck(!allChecked_);
    if (model_ != nullptr) model_->setAllChecked(allChecked_);
    emit headerCheckToggled(allChecked_);
}

int CListCtrlExt::currentRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

namespace {

[[nodiscard]] bool plainKey(const QKeyEvent* event, int key) {
    return event->key() == key && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

}  // namespace

void CListCtrlExt::keyPressEvent(QKeyEvent* event) {
    if (plainKey(event, Qt::Key_Space) && model_ != nullptr && model_->isCheckable() && currentRow() >= 0) {
        model_->toggleChecked(currentRow());
        event->accept();
        return;
    }
    if (plainKey(event, Qt::Key_Up) && currentRow() <= 0 && headerIsStop()) {
        focusWithin(header_, Qt::BacktabFocusReason);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
    if (plainKey(event, Qt::Key_Up) || plainKey(event, Qt::Key_Down)) selectCurrentRow();
}

// Coming to the rows with the keyboard selects the current one, so that the keyboard always acts on the
// row it sees marked. Tab from the control before the list stops at the header's box first.
void CListCtrlExt::focusInEvent(QFocusEvent* event) {
    if (event->reason() == Qt::TabFocusReason && !movingWithin_ && headerIsStop()) {
        focusWithin(header_, Qt::TabFocusReason);
        return;
    }
    QTableView::focusInEvent(event);
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason) selectCurrentRow();
}

// The focus chain holds the rows before the header (Qt makes the header after the view); the keyboard's
// way is the screen's: header's box, then rows.
bool CListCtrlExt::focusNextPrevChild(bool next) {
    if (!headerIsStop()) return QTableView::focusNextPrevChild(next);
    if (header_->hasFocus()) {
        if (next) {
            focusWithin(this, Qt::TabFocusReason);
            return true;
        }
        return passOver(this, false);
    }
    if (hasFocus()) {
        if (!next) {
            focusWithin(header_, Qt::BacktabFocusReason);
            return true;
        }
        return passOver(header_, true);
    }
    return QTableView::focusNextPrevChild(next);
}

void CListCtrlExt::focusWithin(QWidget* target, Qt::FocusReason reason) {
    movingWithin_ = true;
    target->setFocus(reason);
    movingWithin_ = false;
}

bool CListCtrlExt::passOver(QWidget* skipped, bool next) {
    const Qt::FocusPolicy policy = skipped->focusPolicy();
    skipped->setFocusPolicy(Qt::NoFocus);
    movingWithin_ = true;  // leaving the list: no stop at the header on the way
    const bool moved = QTableView::focusNextPrevChild(next);
    movingWithin_ = false;
    skipped->setFocusPolicy(policy);
    return moved;
}

bool CListCtrlExt::eventFilter(QObject* watched, QEvent* event) {
    if (watched == header_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (plainKey(key, Qt::Key_Space)) {
            toggleHeaderCheck();
            return true;
        }
        if (plainKey(key, Qt::Key_Down)) {
            // Down from the header is the first row, as it stands below it.
            if (model_ != nullptr && model_->rowCount() > 0) setCurrentIndex(model_->index(0, 0));
            focusWithin(this, Qt::TabFocusReason);
            return true;
        }
    }
    // Shift+Tab from the control after the list comes to the header first (it follows the rows in the
    // focus chain): the rows come before it on the way back.
    if (watched == header_ && event->type() == QEvent::FocusIn && !movingWithin_ &&
        static_cast<QFocusEvent*>(event)->reason() == Qt::BacktabFocusReason) {
        focusWithin(this, Qt::BacktabFocusReason);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

void CListCtrlExt::selectCurrentRow() {
    const QModelIndex current = currentIndex();
    if (!current.isValid() || selectionModel() == nullptr) return;
    if (selectionModel()->isRowSelected(current.row(), QModelIndex())) return;
    selectionModel()->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void CListCtrlExt::keepCurrentIndex() {
    if (model_ == nullptr || selectionModel() == nullptr) return;
    if (currentIndex().isValid() || model_->rowCount() == 0) return;
    selectionModel()->setCurrentIndex(model_->index(0, 0), QItemSelectionModel::NoUpdate);
}

void CListCtrlExt::forgetAccessibleCells() {
    // While no assistive technology is registered, Qt does not tell the view's accessible interface about
    // model changes, and the cell interfaces it has handed out keep standing for rows that moved or
    // went away (empty texts, no index). A client that reads the list anyway, such as a test, gets
    // fresh cells after every change. An active bridge updates the cells itself.
    if (QAccessible::isActive()) return;
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(this);
    QAccessibleTableInterface* table = iface != nullptr ? iface->tableInterface() : nullptr;
    if (table == nullptr) return;
    QAccessibleTableModelChangeEvent reset(this, QAccessibleTableModelChangeEvent::ModelReset);
    table->modelChange(&reset);
}

}  // namespace talvo

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

void CListCtrlExt::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
        model_ != nullptr && model_->isCheckable() && currentRow() >= 0) {
        model_->toggleChecked(currentRow());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
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

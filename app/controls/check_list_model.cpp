#include "controls/check_list_model.h"

#include <utility>

namespace talvo {

CheckListModel::CheckListModel(QList<Column> columns, bool checkable, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)), checkable_(checkable) {}

int CheckListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rowTotal(); }

int CheckListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant CheckListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole: return cellText(index.row(), index.column());
        case Qt::CheckStateRole:
            if (checkable_ && index.column() == 0) return rowChecked(index.row()) ? Qt::Checked : Qt::Unchecked;
            return {};
        case Qt::TextAlignmentRole: return QVariant::fromValue(columns_[index.column()].alignment | Qt::AlignVCenter);
        default: return {};
    }
}

bool CheckListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || index.column() != 0) return false;
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return false;
    if (!checkable_) return false;
    setChecked(index.row(), value.value<Qt::CheckState>() != Qt::Unchecked);
    return true;
}

Qt::ItemFlags CheckListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (checkable_ && index.column() == 0) f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant CheckListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole: return columns_[section].title;
        case Qt::TextAlignmentRole: return QVariant::fromValue(columns_[section].alignment | Qt::AlignVCenter);
        case Qt::CheckStateRole: return section == 0 ? headerCheck_ : QVariant{};
        case Qt::AccessibleDescriptionRole:
            if (section != 0 || !headerCheck_.isValid()) return {};
            return headerCheck_.value<Qt::CheckState>() == Qt::Checked ? QStringLiteral("checked")
                                                                       : QStringLiteral("unchecked");
        default: return {};
    }
}

bool CheckListModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || orientation != Qt::Horizontal || section != 0 || columns_.isEmpty()) {
        return false;
    }
    QVariant state;
    if (value.isValid())
        state = QVariant::fromValue(value.value<Qt::CheckState>() == Qt::Checked ? Qt::Checked : Qt::Unchecked);
    if (state != headerCheck_) {
        headerCheck_ = state;
        emit headerDataChanged(Qt::Horizontal, 0, 0);
    }
    return true;
}

bool CheckListModel::isChecked(int row) const { return checkable_ && validRow(row) && rowChecked(row); }

bool CheckListModel::setChecked(int row, bool checked) {
    if (!checkable_ || !validRow(row) || rowChecked(row) == checked) return false;
    storeRowChecked(row, checked);
    const QModelIndex cell = index(row, 0);
    emit dataChanged(cell, cell, {Qt::CheckStateRole});
    emit rowCheckChanged(row, checked);
    return true;
}

void CheckListModel::setAllChecked(bool checked) {
    for (int row = 0; row < rowTotal(); ++row) setChecked(row, checked);
}

void CheckListModel::refreshRow(int row) {
    if (!validRow(row) || columns_.isEmpty()) return;
    emit dataChanged(index(row, 0), index(row, static_cast<int>(columns_.size()) - 1),
                     {Qt::DisplayRole, Qt::AccessibleTextRole});
}

}  // namespace talvo

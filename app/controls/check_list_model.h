#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>

namespace talvo {

// Table model behind a CListCtrlExt. It stores no texts: every cell text is asked for from the row
// object when a view needs it (cellText), so a row that changed only needs refreshRow(). When the
// model is checkable, column 0 of every row carries a user-checkable check box whose state the
// subclass keeps beside its row objects.
//
// Subclasses own the row container. RowListModel<Row> (row_list_model.h) is the ready-made one; a
// page that keeps its rows elsewhere derives from this class and brackets its own inserts and removals
// with beginInsertRows/endInsertRows and beginRemoveRows/endRemoveRows.
class CheckListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    struct Column {
        QString title;
        Qt::Alignment alignment = Qt::AlignCenter;  // of the cells and of the header text
    };

    CheckListModel(QList<Column> columns, bool checkable, QObject* parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const final;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const final;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role = Qt::DisplayRole) const override;
    // Qt::CheckStateRole of horizontal section 0 is the header's own check box: Qt::Checked or
    // Qt::Unchecked shows it, an invalid QVariant removes it. CXHeaderCtrl paints it from here, and
    // assistive technologies read it as the section's description ("checked", "unchecked").
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;

    [[nodiscard]] bool isCheckable() const { return checkable_; }
    // Check state of a row; false for rows out of range and for a model without check boxes.
    [[nodiscard]] bool isChecked(int row) const;
    // Sets one row's check box (no-op out of range or without check boxes). Returns whether it changed.
    bool setChecked(int row, bool checked);
    // Sets every row's check box, first row to last.
    void setAllChecked(bool checked);
    void toggleChecked(int row) { setChecked(row, !isChecked(row)); }

    // The object behind `row` changed: views ask for its texts again.
    void refreshRow(int row);

signals:
    // A row's check box changed, by the user or by the program.
    void rowCheckChanged(int row, bool checked);

protected:
    [[nodiscard]] virtual int rowTotal() const = 0;
    [[nodiscard]] virtual QString cellText(int row, int column) const = 0;
    [[nodiscard]] virtual bool rowChecked(int row) const = 0;
    virtual void storeRowChecked(int row, bool checked) = 0;

private:
    [[nodiscard]] bool validRow(int row) const { return row >= 0 && row < rowTotal(); }

    QList<Column> columns_;
    bool checkable_;
    QVariant headerCheck_;  // Qt::CheckState of the header's check box, or invalid for none
};

}  // namespace talvo

#pragma once

#include "controls/check_list_model.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace talvo {

// A CheckListModel that holds its row objects itself, each with its check state. `Ptr` is the holder:
// std::unique_ptr<Row> when the list owns its rows (the default), std::shared_ptr<Row> when ownership
// is shared, Row* when the rows belong to someone else.
//
// Texts come from text(row, column), asked for whenever a view paints: pass a TextFunction, or derive
// and override text().
template <class Row, class Ptr = std::unique_ptr<Row>>
class RowListModel : public CheckListModel {
public:
    using TextFunction = std::function<QString(const Row& row, int column)>;

    RowListModel(QList<Column> columns, bool checkable, TextFunction textOf = {}, QObject* parent = nullptr)
        : CheckListModel(std::move(columns), checkable, parent), textOf_(std::move(textOf)) {}

    // Inserts `row` unchecked at index `at` (clamped to 0..size) and returns the index it got.
    int addRow(int at, Ptr row) {
        at = std::clamp(at, 0, size());
        beginInsertRows({}, at, at);
        entries_.insert(entries_.begin() + at, Entry{std::move(row), false});
        endInsertRows();
        return at;
    }

    // Removes row `at` and hands its holder back (an empty holder when out of range).
    [[nodiscard]] Ptr takeRow(int at) {
        if (at < 0 || at >= size()) return Ptr{};
        beginRemoveRows({}, at, at);
        Ptr row = std::move(entries_[static_cast<std::size_t>(at)].row);
        entries_.erase(entries_.begin() + at);
        endRemoveRows();
        return row;
    }

    // Removes every row; owned rows are released.
    void clearRows() {
        if (entries_.empty()) return;
        beginRemoveRows({}, 0, size() - 1);
        entries_.clear();
        endRemoveRows();
    }

    [[nodiscard]] int size() const { return static_cast<int>(entries_.size()); }
    // The object of row `at`, or null when out of range.
    [[nodiscard]] Row* rowAt(int at) const {
        return at >= 0 && at < size() ? std::to_address(entries_[static_cast<std::size_t>(at)].row) : nullptr;
    }
    // Index of the first row showing `row`, or -1.
    [[nodiscard]] int indexOf(const Row* row) const {
        return findRow([row](const Row& r) { return &r == row; });
    }
    // Index of the first row, top to bottom, whose object satisfies `match`, or -1.
    template <class Pred>
    [[nodiscard]] int findRow(Pred&& match) const {
        for (int i = 0; i < size(); ++i)
            if (const Row* r = rowAt(i); r != nullptr && match(*r)) return i;
        return -1;
    }
    // `row` changed: the rows showing it are painted again with fresh texts. Returns whether any did.
    bool refreshObject(const Row* row) {
        bool found = false;
        for (int i = 0; i < size(); ++i)
            if (rowAt(i) == row) {
                refreshRow(i);
                found = true;
            }
        return found;
    }

protected:
    [[nodiscard]] virtual QString text(const Row& row, int column) const {
        return textOf_ ? textOf_(row, column) : QString{};
    }

    [[nodiscard]] int rowTotal() const final { return size(); }
    [[nodiscard]] QString cellText(int at, int column) const final {
        const Row* r = rowAt(at);
        return r != nullptr ? text(*r, column) : QString{};
    }
    [[nodiscard]] bool rowChecked(int at) const final { return entries_[static_cast<std::size_t>(at)].checked; }
    void storeRowChecked(int at, bool checked) final { entries_[static_cast<std::size_t>(at)].checked = checked; }

private:
    struct Entry {
        Ptr row;
        bool checked;
    };

    TextFunction textOf_;
    std::vector<Entry> entries_;
};

}  // namespace talvo

#pragma once
// The folder list's model: compact row storage for a million rows and an
// index permutation for sorting. Five columns (see RoListBox).
//
// - Rows are appended in batches (beginInsertRows once per batch).
// - sort() sorts the permutation: column 3 by bytes (failure texts last),
//   columns 4 and 5 by time (empty cells first), columns 1 and 2 by text
//   with German collation. Stable.
// - Keeps running totals: rowCount() and zeroByteCount().
// - Dates are formatted on demand as general date text.

#include "app/controls/FolderRow.h"

#include <QAbstractTableModel>
#include <QCollatorSortKey>
#include <vector>

namespace velmaro {

class FolderListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit FolderListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    void clear();
    void append(std::vector<FolderRow>&& rows);
    // Row in display order (0-based); nullptr when out of range.
    const FolderRow* rowAt(int displayRow) const;
    // Text of a cell, display row 0-based, column 0-based; empty when out of range.
    QString cellText(int displayRow, int column) const;
    qint64 zeroByteCount() const { return zeroCount_; }
    qint64 totalRows() const { return qint64(rows_.size()); }

    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }

private:
    bool lessThan(int column, int a, int b) const;  // storage indices, ascending
    bool before(int a, int b) const;                // in the current sort order
    void ensureKeys(int column);
    void sortRange(std::vector<int>::iterator first, std::vector<int>::iterator last);
    void applyOrder(std::vector<int>&& order);

    std::vector<FolderRow> rows_;
    // Collation keys of columns 1 and 2 per storage row, built on the first
    // sort by that column and extended for rows added later.
    std::vector<QCollatorSortKey> keys_[2];
    std::vector<int> order_;  // display row -> storage index
    qint64 zeroCount_ = 0;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace velmaro

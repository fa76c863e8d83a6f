#pragma once
// The folder list's model: compact row storage for a million rows and an
// index permutation for sorting. Five columns (see RoListBox).
//
// - Rows are appended in batches. A view is told about new rows at once
//   while the list is short or sorted; a long unsorted list (a scan in
//   progress) tells its views at most every so often (publish()), because
//   a tree view lays out all its rows again after every insertion.
//   rowCount() is what the views know; totalRows(), rowAt() and cellText()
//   always see every row.
// - sort() sorts the permutation: column 3 by bytes (failure texts last in
//   both directions), columns 4 and 5 by time (empty cells first when
//   ascending), columns 1 and 2 by text in the collation of the default
//   locale (German in the tests). Stable: equal cells keep their order.
//   sort(-1) restores the order of arrival.
// - While sorted, added rows take their places in the order (merged in).
// - Keeps running totals: rowCount() and zeroByteCount().
// - Dates are formatted on demand as general date text.

#include "app/controls/FolderRow.h"
#include "app/controls/TextRanking.h"
#include "engine/ScannedFolder.h"

#include <QAbstractTableModel>
#include <optional>
#include <vector>

class QTimer;

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

    void clear();  // keeps the sort column: rows added later take their places
    void append(std::vector<FolderRow>&& rows);
    // Row in display order (0-based); nullptr when out of range.
    const FolderRow* rowAt(int displayRow) const;
    // Text of a cell, display row 0-based, column 0-based; empty when out of range.
    QString cellText(int displayRow, int column) const;
    // The folder of a display row as the scan saw it (root and identities),
    // for deletes that must act on exactly that folder; empty when out of
    // range or when the scanned root has no row.
    std::optional<engine::ScannedFolder> scannedFolder(int displayRow) const;
    qint64 zeroByteCount() const { return zeroCount_; }
    qint64 totalRows() const { return qint64(rows_.size()); }
    // Tells the views about every row added so far.
    void publish();

    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }

private:
    quint64 sortKeyOf(quint32 row) const;  // current sort column and order
    void updateSortKeys(quint32 first);     // keys of rows [first, end)
    void applyOrder(std::vector<int>&& order);
    void schedulePublish();

    std::vector<FolderRow> rows_;
    std::vector<int> order_;  // display row -> storage index
    // Collation ranks of columns 1 and 2, built on the first sort by that
    // column and extended for rows added later.
    TextRanking ranking_[2];
    // Key of the sort column per storage row: ascending keys are display order.
    std::vector<quint64> sortKeys_;
    qint64 zeroCount_ = 0;
    int rootRow_ = -1;  // storage index of the scanned root's row
    int published_ = 0;  // rows the views know of (display rows [0, published_))
    QTimer* publishTimer_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace velmaro

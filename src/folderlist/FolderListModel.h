#pragma once
// The folder list's model: the rows in a FolderStore (compact; cell texts
// made when asked for) and an index permutation for the display order. Five
// columns (see RoListBox).
//
// - Rows arrive in batches (RowBatch from a scan, or whole FolderRows). A
//   view is told about new rows at once while the list is short (a thousand
//   rows); a longer list tells its views at most every so often (publish()),
//   because a view lays out all its rows again and repaints after every
//   insertion. rowCount() is what the views know; totalRows(), rowAt() and
//   cellText() always see every row.
// - sort() orders the permutation as ListSorter says (stable). Lists of up
//   to kSortAtOnce rows are sorted at once; longer lists on a worker thread,
//   and the new order replaces the old one when it is done (sorted() is
//   emitted then). sort(-1) shows the rows in the order of their slots
//   (the order of arrival for whole rows).
// - While sorted, added rows take their places: at once in a short list; in
//   a long one they wait at the end until the next sort of the worker is done.
// - Keeps running totals: totalRows() and zeroByteCount().
// - Tooltips: a size cell tells the exact bytes and a readable size
//   ("125,2 GB (134.432.123.456 Bytes)"; "3 Bytes" below 1 KB, "0 Bytes
//   (0 Byte Ordner)" for a zero-byte folder); the date cells the full date
//   with a four-digit year; the other cells their text. A size that holds
//   bytes but reads "0" (1 to 5 bytes) is drawn in italics (FontRole), so it
//   is told from a zero-byte folder at a glance.

#include "rows/FolderRow.h"
#include "folderlist/FolderStore.h"
#include "folderlist/ListSorter.h"
#include "engine/ScannedFolder.h"

#include <QAbstractTableModel>
#include <QMutex>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

class QTimer;

namespace velmaro {

class FolderListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kSortAtOnce = 10000;

    explicit FolderListModel(QObject* parent = nullptr);
    ~FolderListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    void clear();  // keeps the sort column: rows added later take their places
    // False (nothing added) when the batch does not continue this list's slots.
    bool append(const RowBatch& batch);

    // Display rows are 0-based here. Out of range: empty / nullopt / false.
    std::optional<FolderRow> rowAt(int displayRow) const;
    QByteArray rawPathAt(int displayRow) const;
    bool zeroByteAt(int displayRow) const;
    // Text of a cell, column 0-based.
    QString cellText(int displayRow, int column) const;
    // The tooltip of a cell (see above).
    QString toolTip(int displayRow, int column) const;
    // True for a complete size of 1 to 5 bytes: its text reads "0".
    bool roundsToZero(int displayRow) const;
    // The folder of a display row as the scan saw it (root and identities),
    // for deletes that must act on exactly that folder; empty when out of
    // range or when the scanned root has no row.
    std::optional<engine::ScannedFolder> scannedFolder(int displayRow) const;
    qint64 zeroByteCount() const { return store_.zeroByteCount(); }
    // The texts that stand in for a size in this list (failure texts).
    const std::vector<QString>& sizeStandIns() const { return store_.sizeStandIns(); }
    qint64 totalRows() const { return qint64(order_.size()); }
    // The slots of the next batch start here.
    quint32 nextSlot() const { return store_.slotCount(); }
    // Tells the views about every row added so far.
    void publish();
    // The rows' store (for pictures of the whole list), a display row's
    // slot (FolderSlot::kNoParent when out of range) and a slot's display
    // row (-1 when it is not a row).
    const FolderStore& store() const { return store_; }
    quint32 slotAt(int displayRow) const;
    int displayRowOf(quint32 slot) const;
    // A display row's size as a share of its parent folder's, 0 .. 1: 1 for
    // the scanned folder; -1 (no share) when the row or its parent has no
    // known size, the parent is not a row, or the row is out of range.
    double shareOfParent(int displayRow) const;

    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }
    // True while rows wait for their places in the sort order.
    bool sorting() const;

signals:
    // Every row is in its place in the order asked for.
    void sorted();

private:
    struct Job;
    struct Link;
    void added(std::size_t first);
    void schedulePublish();
    void requestSort();
    void land(const Job* job, quint64 generation, std::vector<quint32>&& order, std::size_t covered);
    void applyOrder(std::vector<quint32>&& order);

    FolderStore store_;
    std::vector<quint32> order_;  // display row -> slot
    int published_ = 0;           // rows the views know of (display rows [0, published_))
    QTimer* publishTimer_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    std::size_t placed_ = 0;              // display rows [0, placed_) are in sort order
    quint64 generation_ = 0;              // changes with every sort() and clear()
    std::shared_ptr<ListSorter> sorter_;  // ranks of this list; a worker may hold it
    std::shared_ptr<Job> job_;            // the sort of this list running on a worker thread
    std::shared_ptr<Link> link_;          // how workers reach this model while it lives
};

}  // namespace velmaro

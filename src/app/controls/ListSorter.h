#pragma once
// The folder list's sort: the display order for one column and direction,
// computed from a snapshot of the slots, so that it can run on a worker
// thread while the list takes new rows.
//
// Orders (stable: rows that compare equal keep their order):
//  column 0 name, 1 path: collation order of the default locale (German in
//    the tests); names through TextRanking, paths through PathRanking;
//  column 2 size: by bytes, rows with a failure text last in both directions;
//  columns 3 and 4 times: empty cells first when ascending.
// The collation ranks of a text column are kept for later sorts and brought
// up to date for rows added since. Not thread-safe: one sort at a time.

#include "app/controls/CollationOrder.h"
#include "app/controls/FolderSlots.h"
#include "app/controls/TextRanking.h"

#include <Qt>
#include <atomic>
#include <memory>
#include <vector>

namespace velmaro {

class ListSorter {
public:
    struct Request {
        int column = 0;  // 0..4
        Qt::SortOrder order = Qt::AscendingOrder;
        FolderSlots table;          // a snapshot
        std::vector<quint32> rows;  // the display order now: slots that are rows
    };

    ListSorter();
    ~ListSorter();

    // The rows of the request in their new order; empty when `cancel` was
    // set before the sort was done.
    std::vector<quint32> sort(const Request& request, const std::atomic<bool>& cancel);

private:
    std::vector<quint64> keys(const Request& request);
    void rankNames(const FolderSlots& table);
    void rankPaths(const Request& request);
    const CollationOrder& order();

    std::unique_ptr<CollationOrder> order_;
    TextRanking names_;
    std::vector<quint32> pathRanks_;
    std::size_t pathRowsRanked_ = 0;  // rows the path ranks cover (0: none)
};

}  // namespace velmaro

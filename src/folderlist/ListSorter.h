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
// Every column is sorted through ranks (rows with equal keys share a rank,
// 4 bytes per slot): a sort is then one counting pass over the rows in their
// present order, and the other direction the ranks reversed. The ranks of a
// column are made by its first sort and kept for later ones, made anew when
// rows were added since. The text columns share the slots' collation keys
// (CollationKeys), made once per slot. Not thread-safe: one sort at a time.

#include "folderlist/CollationKeys.h"
#include "folderlist/CollationOrder.h"
#include "folderlist/FolderSlots.h"
#include "folderlist/TextRanking.h"

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
    // Ranks of one column's ascending keys, per slot (only rows mean
    // something); all below `count`. `lastStays`: the highest rank (failure
    // texts) stays last in both directions.
    struct Ranks {
        const quint32* of = nullptr;
        quint32 count = 0;
        bool lastStays = false;
    };
    struct NumberRanks {
        std::vector<quint32> of;
        quint32 count = 0;
        bool lastStays = false;
        std::size_t rows = 0;  // rows covered (0: none)
    };

    // `ascending` receives the rows sorted when a number column is ranked.
    Ranks ranks(const Request& request, std::vector<quint32>& ascending);
    void rankNames(const FolderSlots& table);
    void rankPaths(const Request& request);
    static std::vector<quint64> numberKeys(const Request& request, bool& blanks);
    static std::vector<quint32> rankNumbers(const Request& request, NumberRanks& ranks);
    static std::vector<quint32> byRank(const std::vector<quint32>& rows, const Ranks& ranks, bool down);
    const CollationOrder& order();

    const CollationKeys& keys(const FolderSlots& table);

    std::unique_ptr<CollationOrder> order_;
    std::unique_ptr<CollationKeys> keys_;
    std::vector<quint32> nameRanks_;  // by NameRanking
    TextRanking names_;               // where NameRanking cannot rank the names
    bool namesByText_ = false;
    std::vector<quint32> pathRanks_;
    std::size_t pathRowsRanked_ = 0;  // rows the path ranks cover (0: none)
    NumberRanks numbers_[3];          // size, created, last change
};

}  // namespace velmaro

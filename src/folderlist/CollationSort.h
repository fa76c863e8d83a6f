#pragma once
// Sorts many texts in collation order (CollationOrder), fast: by chunks of
// primary weights, most-significant chunk first, sorting plain numbers; a
// run of texts that share a full chunk is sorted by the next chunk. Where a
// chunk cannot decide (a character outside the known set, or texts equal at
// primary level) that part is sorted by the exact comparison.

#include "folderlist/CollationOrder.h"

#include <QStringView>
#include <vector>

namespace velmaro {

class CollationSort {
public:
    struct Result {
        std::vector<quint32> rows;          // in collation order; equal texts by row
        std::vector<char> equalToPrevious;  // per position: same text as the one before
    };

    // `texts[row]` for every row of `rows`; all texts share their first `skip`
    // characters, and those are known to `order` (knownPrefixLength).
    static Result sort(const CollationOrder& order, const std::vector<QStringView>& texts,
                       const std::vector<quint32>& rows, qsizetype skip);

private:
    struct Item {
        quint64 chunk;
        quint32 row;
        quint32 next;  // cursor after the chunk: index, top bit "second weight"
    };
    CollationSort(const CollationOrder& order, const std::vector<QStringView>& texts, qsizetype skip)
        : order_(order)
        , texts_(texts)
        , skip_(skip)
    {}

    void sortRun(Item* first, Item* last);
    void keySort(Item* first, Item* last);
    void takeChunks(Item* first, Item* last) const;
    void exactSort(Item* first, Item* last);
    void sortPieces(Item* first, Item* last);
    int exactCompare(const Item& a, const Item& b) const;

    const CollationOrder& order_;
    const std::vector<QStringView>& texts_;
    qsizetype skip_;
    std::vector<quint32> exact_;  // per row: the exact range it was sorted in, 0: none
    quint32 ranges_ = 0;
};

}  // namespace velmaro

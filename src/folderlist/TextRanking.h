#pragma once
// Collation ranks of one text column: rows with a smaller rank come first,
// rows with equal texts share a rank. Sorting by a text column then sorts
// numbers; ranks are computed once and kept up to date when rows are added
// (new rows are inserted by binary search, not by sorting everything again).

#include "folderlist/CollationOrder.h"

#include <QStringView>
#include <functional>
#include <memory>
#include <vector>

namespace velmaro {

class TextRanking {
public:
    using TextOf = std::function<QStringView(quint32 row)>;

    // Forgets every rank (and the collation: the next update builds it anew
    // for the locale of that moment).
    void clear();
    // Ranks rows [0, count); rows below ranked() keep their order.
    void update(quint32 count, const TextOf& textOf);
    quint32 ranked() const { return quint32(rank_.size()); }
    quint32 rank(quint32 row) const { return rank_[row]; }
    const quint32* ranks() const { return rank_.data(); }  // ranked() of them

private:
    void rebuild(quint32 count);
    void insert(quint32 count, const TextOf& textOf);
    std::vector<quint32> sortedNewRows(quint32 count, const TextOf& textOf);
    void renumber(const std::vector<char>& equalToPrevious);
    void narrowSkip();

    std::unique_ptr<CollationOrder> order_;
    std::vector<quint32> sorted_;     // rows in collation order
    std::vector<quint32> rank_;       // rank per row
    std::vector<QStringView> texts_;  // during update(): the texts being ranked
    QString reference_;               // a ranked text; all share skip_ characters with it
    qsizetype skip_ = 0;
};

}  // namespace velmaro

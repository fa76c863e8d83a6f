#pragma once
// Ranks table by their names in the collation order of CollationOrder (the
// collator's order), from the table' collation keys: names sort by their
// keys, a few bytes at a time; names with equal keys (equal at primary
// level: case or accents apart) by the collator; names without a key (a
// character of unknown weight, a detached slot's name) by the collator and
// merged in by binary search. Equal names share a rank.

#include "folderlist/CollationKeys.h"
#include "folderlist/CollationOrder.h"
#include "folderlist/FolderSlots.h"

#include <vector>

namespace velmaro {

class NameRanking {
public:
    // Rank per slot of the table [0, keys.size()) into `ranks`. False (and
    // nothing done) when too many names have no key to merge them one by
    // one: the caller ranks them otherwise (TextRanking).
    static bool rank(const FolderSlots& table, const CollationKeys& keys, const CollationOrder& order,
                     std::vector<quint32>& ranks);

private:
    struct Item {
        quint64 chunk;
        quint32 slot;
    };

    NameRanking(const FolderSlots& table, const CollationKeys& keys, const CollationOrder& order)
        : slots_(table)
        , keys_(keys)
        , order_(order)
    {}
    QString nameOf(quint32 slot) const;
    void sortKnown();
    void sortRun(quint32* first, quint32* last, quint32 depth);
    void sortEqualKeys(quint32* first, quint32* last);
    void mergeUnknown();
    void number(std::vector<quint32>& ranks) const;

    const FolderSlots& slots_;
    const CollationKeys& keys_;
    const CollationOrder& order_;
    std::vector<quint32> sorted_;        // table with a key, in order
    std::vector<char> equalToPrevious_;  // per position of sorted_
    std::vector<quint32> unknown_;       // table without a key
    std::vector<Item> items_;            // scratch of sortRun
};

}  // namespace velmaro

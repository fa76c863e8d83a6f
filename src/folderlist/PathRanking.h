#pragma once
// Ranks rows by their full paths in the collation order of CollationOrder
// (the collator's order), without building every path: the order is the
// folder tree's, walked from the top, each folder's subfolders sorted by
// "name/" at primary level.
//
// Why that is the collator's order: at primary level two texts compare by
// their first differing weight, and '/' has a weight no other known
// character has. So two paths that part below a common folder compare as
// the two "name/" that follow it, whatever comes later; a folder's own path
// is a start of its subfolders' paths and comes first. Subfolders whose
// "name/" are equal at primary level (case or accents apart) form one group:
// their rows and their subfolders are ordered together, and rows with equal
// weights by the collator on the full paths. Where a name holds a character
// of unknown weight, or the fast weights are off, the rows below its parent
// are sorted by the collator on their full paths. In the C locale the
// collator compares code units: names are then keyed by their code units.

#include "folderlist/CollationKeys.h"
#include "folderlist/CollationOrder.h"
#include "folderlist/FolderSlots.h"

#include <string>
#include <vector>

namespace velmaro {

class PathRanking {
public:
    // Rank per slot (only the entries of `rows` mean something); rows with
    // paths equal to the collator share a rank. `rows`: slots that are rows;
    // their ancestors need not be.
    static std::vector<quint32> rank(const FolderSlots& slots, const std::vector<quint32>& rows,
                                     const CollationOrder& order);
    // The same with the slots' keys made already (of `order`, for every slot).
    static std::vector<quint32> rank(const FolderSlots& slots, const std::vector<quint32>& rows,
                                     const CollationOrder& order, const CollationKeys& keys);

private:
    struct Group {
        std::size_t first;  // into pending_
        std::size_t count;
    };

    PathRanking(const FolderSlots& slots, const CollationOrder& order, const CollationKeys& keys);
    void buildTree(const std::vector<quint32>& rows);
    void makeHeads();
    quint8 keyByte(quint32 slot, quint32 at) const;
    int compareKeys(quint32 a, quint32 b) const;
    void walk();
    void rankGroup(const quint32* nodes, std::size_t count);
    bool pushSorted(std::size_t first);
    void rankExactly(const std::vector<quint32>& tops);
    void rankByCollator(const std::vector<quint32>& rows);

    const FolderSlots& slots_;
    const CollationOrder& order_;
    const CollationKeys& keys_;
    const quint8 separator_;
    const bool codeUnits_;
    const quint32 separatorLength_;  // bytes after the key of a slot that has a parent
    std::vector<quint32> parent_;      // per slot, copied once: the walk reads it often
    std::vector<quint8> state_;        // per slot: kIsRow | kInTree | kUnknown
    std::vector<quint32> childStart_;  // children of slot s: children_[childStart_[s] .. childStart_[s + 1])
    std::vector<quint32> children_;
    std::vector<quint32> tops_;   // detached slots in the tree
    std::vector<quint64> head_;   // per slot: the first 8 bytes of "key/", big-endian, 0-padded
    std::vector<quint32> rank_;
    quint32 next_ = 0;
    std::vector<quint32> pending_;  // nodes of the groups on stack_
    std::vector<Group> stack_;
};

}  // namespace velmaro

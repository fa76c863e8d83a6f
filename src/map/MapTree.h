#pragma once
// The folders of the list as the map lays them out: one node per folder of
// the scanned folder's subtree that is a row (node 0: the scanned folder),
// and, for a folder with subfolders, one more node for the folder's own
// files (its size less its subfolders'), where there are any. Built once from the list's store;
// keeps a snapshot of the store's slots (names, parents, sizes, times), so
// it stays valid when the list is cleared.
//
// Weights: a folder node weighs its own files plus its subfolders (at least
// its size); children are ordered largest first (treemap::TreemapTree).
// remove() takes a deleted folder out: its subtree leaves the map and its
// weight leaves its ancestors.

#include "folderlist/FolderSlots.h"
#include "treemap/TreemapTree.h"

#include <QByteArray>
#include <QString>
#include <limits>
#include <vector>

namespace velmaro {

class FolderStore;

class MapTree {
public:
    static constexpr quint32 kNone = std::numeric_limits<quint32>::max();

    MapTree() = default;
    explicit MapTree(const FolderStore& store);

    bool empty() const { return slot_.empty(); }
    const treemap::TreemapTree& layoutTree() const { return tree_; }
    quint32 nodeCount() const { return quint32(slot_.size()); }

    // Of a node: its folder's slot (for a files node: the folder's), whether
    // it stands for a folder's own files, its parent (kNone for node 0), the
    // bytes it stands for, its times (ms since the epoch, FolderSlot::kNoTime
    // when unknown) and whether its size is complete.
    quint32 slotOf(quint32 node) const { return slot_[node]; }
    bool isFiles(quint32 node) const { return files_[node]; }
    quint32 parentOf(quint32 node) const { return parent_[node]; }
    quint64 bytes(quint32 node) const;
    qint64 accessedMs(quint32 node) const { return slots_[slot_[node]].accessedMs; }
    qint64 createdMs(quint32 node) const { return slots_[slot_[node]].createdMs; }
    bool sizeKnown(quint32 node) const { return slots_[slot_[node]].is(FolderSlot::kSizeKnown); }
    QString name(quint32 node) const;
    QString path(quint32 node) const;
    QByteArray rawPath(quint32 node) const { return slots_.rawPath(slot_[node]); }

    // The folder node of a slot; kNone when it is not in the map.
    quint32 nodeOfSlot(quint32 slot) const;
    // The node of the folder at `raw`, or of its deepest ancestor in the
    // map; kNone when not even the scanned folder is an ancestor.
    quint32 deepestNodeOn(const QByteArray& raw) const;
    // Takes a folder node and its subtree out (node 0 cannot be taken out).
    void remove(quint32 node);

private:
    void addFilesNodes(const std::vector<quint64>& subfolderBytes);
    void buildRows();
    void sortKids(quint32 node);
    quint32 childNamed(quint32 node, const QByteArray& name) const;

    FolderSlots slots_;
    std::vector<quint32> slot_;    // node -> slot
    std::vector<quint32> parent_;  // node -> parent node
    std::vector<bool> files_;
    std::vector<quint64> filesBytes_;  // node -> bytes of its own files (leaf or files node)
    std::vector<quint32> nodeOfSlot_;  // slot -> folder node
    treemap::TreemapTree tree_;
};

}  // namespace velmaro

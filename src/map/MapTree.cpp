#include "map/MapTree.h"

#include "folderlist/FolderStore.h"

#include <QFile>
#include <algorithm>

namespace velmaro {

MapTree::MapTree(const FolderStore& store)
    : slots_(store.table())
{
    const quint32 root = store.rootSlot();
    if (root == FolderSlot::kNoParent)
        return;
    nodeOfSlot_.assign(slots_.size(), kNone);
    // A parent's slot comes before its children's: one pass finds every row
    // whose ancestors up to the root are rows.
    for (quint32 s = root; s < slots_.size(); ++s) {
        const FolderSlot& slot = slots_[s];
        if (!slot.is(FolderSlot::kRow))
            continue;
        const bool isRoot = s == root;
        if (!isRoot && (slot.parent == FolderSlot::kNoParent || slot.parent < root ||
                        nodeOfSlot_[slot.parent] == kNone))
            continue;
        nodeOfSlot_[s] = quint32(slot_.size());
        slot_.push_back(s);
        parent_.push_back(isRoot ? kNone : nodeOfSlot_[slot.parent]);
    }
    // Bytes of the subfolders; a folder without subfolders keeps none.
    std::vector<quint64> subfolderBytes(slot_.size(), std::numeric_limits<quint64>::max());
    for (quint32 n = 1; n < slot_.size(); ++n) {
        quint64& sum = subfolderBytes[parent_[n]];
        sum = (sum == std::numeric_limits<quint64>::max() ? 0 : sum) + slots_[slot_[n]].bytes;
    }
    files_.assign(slot_.size(), false);
    filesBytes_.assign(slot_.size(), 0);
    addFilesNodes(subfolderBytes);
    buildRows();
}

void MapTree::addFilesNodes(const std::vector<quint64>& subfolderBytes)
{
    const quint32 folders = quint32(slot_.size());
    for (quint32 n = 0; n < folders; ++n) {
        const quint64 own = slots_[slot_[n]].bytes;
        if (subfolderBytes[n] == std::numeric_limits<quint64>::max()) {
            filesBytes_[n] = own;  // a folder without subfolders stands for its files itself
            continue;
        }
        if (own <= subfolderBytes[n])
            continue;
        slot_.push_back(slot_[n]);
        parent_.push_back(n);
        files_.push_back(true);
        filesBytes_.push_back(own - subfolderBytes[n]);
    }
}

// Weights bottom-up (a child's node number is above its parent's), then the
// children of every node in compressed rows, largest first.
void MapTree::buildRows()
{
    const quint32 count = quint32(slot_.size());
    tree_.weight.assign(count, 0);
    for (quint32 n = count; n-- > 0;) {
        tree_.weight[n] += double(filesBytes_[n]);
        if (n > 0)
            tree_.weight[parent_[n]] += tree_.weight[n];
    }
    tree_.first.assign(count + 1, 0);
    for (quint32 n = 1; n < count; ++n)
        ++tree_.first[parent_[n] + 1];
    for (quint32 n = 0; n < count; ++n)
        tree_.first[n + 1] += tree_.first[n];
    tree_.kids.assign(count > 0 ? count - 1 : 0, 0);
    std::vector<quint32> filled(tree_.first.begin(), tree_.first.end() - 1);
    for (quint32 n = 1; n < count; ++n)
        tree_.kids[filled[parent_[n]]++] = n;
    for (quint32 n = 0; n < count; ++n)
        sortKids(n);
}

void MapTree::sortKids(quint32 node)
{
    const auto begin = tree_.kids.begin() + tree_.first[node];
    const auto end = tree_.kids.begin() + tree_.first[node + 1];
    std::sort(begin, end, [this](quint32 a, quint32 b) {
        return tree_.weight[a] > tree_.weight[b] || (tree_.weight[a] == tree_.weight[b] && a < b);
    });
}

quint64 MapTree::bytes(quint32 node) const
{
    return files_[node] ? filesBytes_[node] : quint64(tree_.weight[node]);
}

QString MapTree::name(quint32 node) const
{
    return QFile::decodeName(slots_.rawName(slot_[node]));
}

QString MapTree::path(quint32 node) const
{
    return QFile::decodeName(slots_.rawPath(slot_[node]));
}

quint32 MapTree::nodeOfSlot(quint32 slot) const
{
    return slot < nodeOfSlot_.size() ? nodeOfSlot_[slot] : kNone;
}

quint32 MapTree::childNamed(quint32 node, const QByteArray& name) const
{
    for (quint32 i = tree_.first[node]; i < tree_.first[node + 1]; ++i) {
        const quint32 kid = tree_.kids[i];
        if (!files_[kid] && nodeOfSlot_[slot_[kid]] == kid && name == slots_.text(slot_[kid]))
            return kid;
    }
    return kNone;
}

quint32 MapTree::deepestNodeOn(const QByteArray& raw) const
{
    if (empty())
        return kNone;
    const QByteArray root = rawPath(0);
    if (!raw.startsWith(root))
        return kNone;
    quint32 node = 0;
    for (const QByteArray& name : raw.mid(root.size()).split('/')) {
        if (name.isEmpty())
            continue;
        const quint32 kid = childNamed(node, name);
        if (kid == kNone)
            break;
        node = kid;
    }
    return node;
}

void MapTree::remove(quint32 node)
{
    if (node == 0 || node >= slot_.size() || files_[node] || nodeOfSlot_[slot_[node]] != node)
        return;
    const double weight = tree_.weight[node];
    std::vector<quint32> subtree{node};
    for (std::size_t i = 0; i < subtree.size(); ++i) {
        const quint32 n = subtree[i];
        if (!files_[n])
            nodeOfSlot_[slot_[n]] = kNone;
        for (quint32 k = tree_.first[n]; k < tree_.first[n + 1]; ++k)
            subtree.push_back(tree_.kids[k]);
    }
    tree_.weight[node] = 0;
    for (quint32 up = parent_[node]; up != kNone; up = parent_[up]) {
        tree_.weight[up] = std::max(0.0, tree_.weight[up] - weight);
        sortKids(up);
    }
}

}  // namespace velmaro

#include "folderlist/PathRanking.h"

#include "folderlist/CollationSort.h"

#include <QFile>
#include <algorithm>
#include <cstring>
#include <numeric>

namespace velmaro {

namespace {
constexpr quint8 kIsRow = 1;
constexpr quint8 kInTree = 2;
constexpr quint8 kUnknown = 4;  // the key holds a character of unknown weight
constexpr quint32 kNone = FolderSlot::kNoParent;
}  // namespace

std::vector<quint32> PathRanking::rank(const FolderSlots& table, const std::vector<quint32>& rows,
                                       const CollationOrder& order)
{
    CollationKeys keys(order);
    keys.update(table);
    return rank(table, rows, order, keys);
}

std::vector<quint32> PathRanking::rank(const FolderSlots& table, const std::vector<quint32>& rows,
                                       const CollationOrder& order, const CollationKeys& keys)
{
    PathRanking ranking(table, order, keys);
    ranking.buildTree(rows);
    if (ranking.separator_ == 0 && !ranking.codeUnits_) {
        ranking.rankExactly(ranking.tops_);
    } else {
        ranking.makeHeads();
        ranking.walk();
    }
    return std::move(ranking.rank_);
}

PathRanking::PathRanking(const FolderSlots& table, const CollationOrder& order, const CollationKeys& keys)
    : slots_(table)
    , order_(order)
    , keys_(keys)
    , separator_(order.separatorWeight())
    , codeUnits_(order.codeUnitOrder())
    , separatorLength_(order.codeUnitOrder() ? 2 : 1)
    , parent_(table.size())
    , state_(table.size(), 0)
    , rank_(table.size(), 0)
{
    for (quint32 s = 0; s < table.size(); ++s)
        parent_[s] = table[s].parent;
}

// The rows and all their ancestors, with each folder's children.
void PathRanking::buildTree(const std::vector<quint32>& rows)
{
    for (const quint32 row : rows)
        state_[row] |= kIsRow;
    const quint32 count = quint32(parent_.size());
    for (quint32 row = 0; row < count; ++row) {
        if (!(state_[row] & kIsRow))
            continue;
        for (quint32 s = row; !(state_[s] & kInTree); s = parent_[s]) {
            state_[s] |= kInTree;
            if (parent_[s] == kNone) {
                tops_.push_back(s);
                break;
            }
        }
    }
    childStart_.assign(std::size_t(count) + 1, 0);
    for (quint32 s = 0; s < count; ++s) {
        if ((state_[s] & kInTree) && parent_[s] != kNone)
            ++childStart_[parent_[s] + 1];
    }
    std::partial_sum(childStart_.begin(), childStart_.end(), childStart_.begin());
    children_.resize(childStart_.back());
    std::vector<quint32> fill(childStart_.begin(), childStart_.end() - 1);
    for (quint32 s = 0; s < count; ++s) {
        if ((state_[s] & kInTree) && parent_[s] != kNone)
            children_[fill[parent_[s]]++] = s;
    }
}

// Byte `at` of a slot's key followed by the separator when it has a parent
// ("name/"): the primary weights, or in the C locale the code units.
quint8 PathRanking::keyByte(quint32 slot, quint32 at) const
{
    const quint32 length = keys_.length(slot);
    if (at < length)
        return quint8(keys_.key(slot)[at]);
    if (parent_[slot] == kNone || at >= length + separatorLength_)
        return 0;
    return codeUnits_ ? (at == length ? 0 : '/') : separator_;
}

// The first bytes of every key in the tree; slots without a key are marked.
void PathRanking::makeHeads()
{
    const quint32 count = quint32(parent_.size());
    head_.assign(count, 0);
    for (quint32 s = 0; s < count; ++s) {
        if (!(state_[s] & kInTree))
            continue;
        if (!keys_.known(s)) {
            state_[s] |= kUnknown;
            continue;
        }
        if (keys_.length(s) >= 8) {
            head_[s] = keys_.chunk(s, 0);
            continue;
        }
        quint64 head = 0;
        for (quint32 i = 0; i < 8; ++i)
            head = (head << 8) | keyByte(s, i);
        head_[s] = head;
    }
}

int PathRanking::compareKeys(quint32 a, quint32 b) const
{
    if (head_[a] != head_[b])
        return head_[a] < head_[b] ? -1 : 1;
    const quint32 la = keys_.length(a), lb = keys_.length(b);
    const quint32 common = std::min(la, lb);
    const int c = common > 8 ? std::memcmp(keys_.key(a) + 8, keys_.key(b) + 8, common - 8) : 0;
    if (c != 0)
        return c;
    const quint32 ea = la + (parent_[a] == kNone ? 0 : separatorLength_);
    const quint32 eb = lb + (parent_[b] == kNone ? 0 : separatorLength_);
    for (quint32 i = std::max<quint32>(common, 8); i < std::min(ea, eb); ++i) {
        const quint8 x = keyByte(a, i), y = keyByte(b, i);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return int(ea) - int(eb);
}

// Depth first from the top; stack_ holds groups of folders still to rank,
// the next one on top, their folders at the end of pending_.
void PathRanking::walk()
{
    pending_ = tops_;
    if (!pushSorted(0)) {
        rankExactly(tops_);
        return;
    }
    std::vector<quint32> group;
    while (!stack_.empty()) {
        const Group g = stack_.back();
        stack_.pop_back();
        group.assign(pending_.begin() + qsizetype(g.first), pending_.begin() + qsizetype(g.first + g.count));
        pending_.resize(g.first);
        rankGroup(group.data(), group.size());
        for (const quint32 s : group)
            pending_.insert(pending_.end(), children_.begin() + childStart_[s],
                            children_.begin() + childStart_[s + 1]);
        if (pending_.size() > g.first && !pushSorted(g.first)) {
            const std::vector<quint32> kids(pending_.begin() + qsizetype(g.first), pending_.end());
            pending_.resize(g.first);
            rankExactly(kids);
        }
    }
}

// Folders whose paths are equal at primary level: their rows come before
// everything below them.
void PathRanking::rankGroup(const quint32* nodes, std::size_t count)
{
    if (count == 1) {
        if (state_[nodes[0]] & kIsRow)
            rank_[nodes[0]] = next_++;
        return;
    }
    std::vector<quint32> rows;
    for (std::size_t i = 0; i < count; ++i) {
        if (state_[nodes[i]] & kIsRow)
            rows.push_back(nodes[i]);
    }
    if (rows.size() == 1)
        rank_[rows.front()] = next_++;
    else if (!rows.empty())
        rankByCollator(rows);
}

// Sorts the sibling folders pending_[first..] by their keys, the greatest
// first, and puts them on the stack as groups of equal keys: the smallest
// group on top. False when a key is not known.
bool PathRanking::pushSorted(std::size_t first)
{
    const auto begin = pending_.begin() + qsizetype(first);
    for (auto it = begin; it != pending_.end(); ++it) {
        if (state_[*it] & kUnknown)
            return false;
    }
    if (pending_.size() - first > 1) {
        std::sort(begin, pending_.end(), [this](quint32 a, quint32 b) {
            const int c = compareKeys(a, b);
            return c != 0 ? c > 0 : a > b;
        });
    }
    for (std::size_t at = first; at < pending_.size();) {
        std::size_t end = at + 1;
        while (end < pending_.size() && compareKeys(pending_[at], pending_[end]) == 0)
            ++end;
        stack_.push_back(Group{at, end - at});
        at = end;
    }
    return true;
}

// Every row in the subtrees of `tops`, by the collator on full paths.
void PathRanking::rankExactly(const std::vector<quint32>& tops)
{
    std::vector<quint32> rows, todo(tops.begin(), tops.end());
    while (!todo.empty()) {
        const quint32 s = todo.back();
        todo.pop_back();
        if (state_[s] & kIsRow)
            rows.push_back(s);
        todo.insert(todo.end(), children_.begin() + childStart_[s], children_.begin() + childStart_[s + 1]);
    }
    rankByCollator(rows);
}

void PathRanking::rankByCollator(const std::vector<quint32>& rows)
{
    std::vector<QString> paths(rows.size());
    std::vector<QStringView> views(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        paths[i] = QFile::decodeName(slots_.rawPath(rows[i]));
        views[i] = paths[i];
    }
    std::vector<quint32> local(rows.size());
    std::iota(local.begin(), local.end(), 0);
    const CollationSort::Result sorted = CollationSort::sort(order_, views, local, 0);
    for (std::size_t i = 0; i < sorted.rows.size(); ++i) {
        if (i > 0 && !sorted.equalToPrevious[i])
            ++next_;
        rank_[rows[sorted.rows[i]]] = next_;
    }
    if (!rows.empty())
        ++next_;
}

}  // namespace velmaro

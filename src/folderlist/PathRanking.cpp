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
    PathRanking ranking(table, order);
    ranking.buildTree(rows);
    if (ranking.separator_ == 0 && !ranking.codeUnits_) {
        ranking.rankExactly(ranking.tops_);
    } else {
        ranking.makeKeys();
        ranking.walk();
    }
    return std::move(ranking.rank_);
}

PathRanking::PathRanking(const FolderSlots& table, const CollationOrder& order)
    : slots_(table)
    , order_(order)
    , separator_(order.separatorWeight())
    , codeUnits_(order.codeUnitOrder())
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

// Keys of every folder in the tree, in slot order (the order the names are
// stored in): the primary weights of "name/" (of the full path for a
// detached slot), or its code units, big-endian.
void PathRanking::makeKeys()
{
    const quint32 count = quint32(parent_.size());
    keyAt_.assign(std::size_t(count) + 1, 0);
    head_.assign(count, 0);
    keys_.reserve(std::size_t(count) * 16);
    std::u16string wide;
    for (quint32 s = 0; s < count; ++s) {
        keyAt_[s] = quint32(keys_.size());
        if (!(state_[s] & kInTree))
            continue;
        const char* text = slots_.text(s);
        const char* end = text;
        bool ascii = true;
        for (; *end; ++end)
            ascii = ascii && (*end & 0x80) == 0;
        bool known = false;
        if (ascii) {
            wide.resize(std::size_t(end - text));  // widened in place: no allocation per name
            std::copy(text, end, wide.begin());
            known = keyOf(s, QStringView(wide.data(), qsizetype(wide.size())));
        } else {
            known = keyOf(s, QFile::decodeName(QByteArray::fromRawData(text, end - text)));
        }
        if (!known) {
            state_[s] |= kUnknown;
            keys_.resize(keyAt_[s]);
            continue;
        }
        const quint32 length = quint32(keys_.size()) - keyAt_[s];
        for (quint32 i = 0; i < 8; ++i)
            head_[s] = (head_[s] << 8) | (i < length ? quint8(keys_[keyAt_[s] + i]) : 0);
    }
    keyAt_[count] = quint32(keys_.size());
}

bool PathRanking::keyOf(quint32 slot, QStringView name)
{
    const bool linked = parent_[slot] != kNone;
    if (codeUnits_) {
        for (const QChar c : name) {
            keys_.push_back(char(c.unicode() >> 8));
            keys_.push_back(char(c.unicode() & 0xff));
        }
        if (linked)
            keys_.append({'\0', '/'});
        return true;
    }
    if (!order_.appendWeights(name, keys_))
        return false;
    if (linked)
        keys_.push_back(char(separator_));
    return true;
}

int PathRanking::compareKeys(quint32 a, quint32 b) const
{
    if (head_[a] != head_[b])
        return head_[a] < head_[b] ? -1 : 1;
    const quint32 la = keyAt_[a + 1] - keyAt_[a], lb = keyAt_[b + 1] - keyAt_[b];
    const int c = std::memcmp(keys_.data() + keyAt_[a], keys_.data() + keyAt_[b], std::min(la, lb));
    return c != 0 ? c : int(la) - int(lb);
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

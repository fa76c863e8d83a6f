#include "app/controls/PathRanking.h"

#include "app/controls/CollationSort.h"

#include <QFile>
#include <algorithm>
#include <cstring>
#include <numeric>

namespace velmaro {

namespace {
constexpr quint8 kIsRow = 1;
constexpr quint8 kInTree = 2;
constexpr quint32 kNone = FolderSlot::kNoParent;
}  // namespace

std::vector<quint32> PathRanking::rank(const FolderSlots& table, const std::vector<quint32>& rows,
                                       const CollationOrder& order)
{
    PathRanking ranking(table, order);
    ranking.buildTree(rows);
    if (ranking.separator_ == 0 && !ranking.codeUnits_)
        ranking.rankExactly(ranking.tops_);
    else
        ranking.walk();
    return std::move(ranking.rank_);
}

PathRanking::PathRanking(const FolderSlots& table, const CollationOrder& order)
    : slots_(table), order_(order), separator_(order.separatorWeight()), codeUnits_(order.codeUnitOrder()),
      state_(table.size(), 0),
      rank_(table.size(), 0)
{
}

// The rows and all their ancestors, with each folder's children.
void PathRanking::buildTree(const std::vector<quint32>& rows)
{
    for (const quint32 row : rows)
        state_[row] |= kIsRow;
    for (const quint32 row : rows) {
        for (quint32 s = row; !(state_[s] & kInTree);) {
            state_[s] |= kInTree;
            const quint32 parent = slots_[s].parent;
            if (parent == kNone) {
                tops_.push_back(s);
                break;
            }
            s = parent;
        }
    }
    const quint32 count = slots_.size();
    childStart_.assign(std::size_t(count) + 1, 0);
    for (quint32 s = 0; s < count; ++s) {
        if ((state_[s] & kInTree) && slots_[s].parent != kNone)
            ++childStart_[slots_[s].parent + 1];
    }
    std::partial_sum(childStart_.begin(), childStart_.end(), childStart_.begin());
    children_.resize(childStart_.back());
    std::vector<quint32> fill(childStart_.begin(), childStart_.end() - 1);
    for (quint32 s = 0; s < count; ++s) {
        if ((state_[s] & kInTree) && slots_[s].parent != kNone)
            children_[fill[slots_[s].parent]++] = s;
    }
}

// Depth first from the top; stack_ holds groups of folders still to rank,
// the next one on top.
void PathRanking::walk()
{
    std::vector<quint32> group = tops_, kids;
    if (!pushSorted(group)) {
        rankExactly(tops_);
        return;
    }
    while (!stack_.empty()) {
        const Group g = stack_.back();
        stack_.pop_back();
        group.assign(pending_.begin() + qsizetype(g.first), pending_.begin() + qsizetype(g.first + g.count));
        pending_.resize(g.first);
        rankGroup(group);
        kids.clear();
        for (const quint32 s : group)
            kids.insert(kids.end(), children_.begin() + childStart_[s], children_.begin() + childStart_[s + 1]);
        if (!kids.empty() && !pushSorted(kids))
            rankExactly(kids);
    }
}

// Folders whose paths are equal at primary level: their rows come before
// everything below them.
void PathRanking::rankGroup(const std::vector<quint32>& nodes)
{
    std::vector<quint32> rows;
    for (const quint32 s : nodes) {
        if (state_[s] & kIsRow)
            rows.push_back(s);
    }
    if (rows.size() == 1)
        rank_[rows.front()] = next_++;
    else if (!rows.empty())
        rankByCollator(rows);
}

// The primary weights of "name/" (of the full path for a detached slot), or
// its code units, big-endian.
bool PathRanking::keyOf(quint32 slot, Kid& kid)
{
    const char* text = slots_.text(slot);
    const std::size_t length = std::strlen(text);
    QString decoded;
    QStringView view;
    if (std::all_of(text, text + length, [](char c) { return (c & 0x80) == 0; })) {
        buffer_.assign(text, text + length);
        view = QStringView(buffer_.data(), qsizetype(length));
    } else {
        decoded = QFile::decodeName(QByteArray::fromRawData(text, qsizetype(length)));
        view = decoded;
    }
    kid.slot = slot;
    kid.keyAt = quint32(keys_.size());
    const bool linked = slots_[slot].parent != kNone;
    if (codeUnits_) {
        for (const QChar c : view) {
            keys_.push_back(char(c.unicode() >> 8));
            keys_.push_back(char(c.unicode() & 0xff));
        }
        if (linked)
            keys_.append({'\0', '/'});
    } else {
        if (!order_.appendWeights(view, keys_))
            return false;
        if (linked)
            keys_.push_back(char(separator_));
    }
    kid.keyLength = quint32(keys_.size() - kid.keyAt);
    kid.head = 0;
    for (quint32 i = 0; i < 8; ++i)
        kid.head = (kid.head << 8) | (i < kid.keyLength ? quint8(keys_[kid.keyAt + i]) : 0);
    return true;
}

// Sorts sibling folders by their keys and puts them on the stack as groups
// of equal keys, the first group on top. False when a key is not known.
bool PathRanking::pushSorted(std::vector<quint32>& nodes)
{
    keys_.clear();
    std::vector<Kid> kids(nodes.size());
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (!keyOf(nodes[i], kids[i]))
            return false;
    }
    const auto compare = [this](const Kid& a, const Kid& b) {
        if (a.head != b.head)
            return a.head < b.head ? -1 : 1;
        const int c = std::memcmp(keys_.data() + a.keyAt, keys_.data() + b.keyAt, std::min(a.keyLength, b.keyLength));
        return c != 0 ? c : int(a.keyLength) - int(b.keyLength);
    };
    std::sort(kids.begin(), kids.end(), [&](const Kid& a, const Kid& b) {
        const int c = compare(a, b);
        return c != 0 ? c < 0 : a.slot < b.slot;
    });
    std::size_t end = kids.size();
    while (end > 0) {
        std::size_t begin = end - 1;
        while (begin > 0 && compare(kids[begin - 1], kids[end - 1]) == 0)
            --begin;
        stack_.push_back(Group{pending_.size(), end - begin});
        for (std::size_t i = begin; i < end; ++i)
            pending_.push_back(kids[i].slot);
        end = begin;
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

#include "folderlist/NameRanking.h"

#include "folderlist/CollationSort.h"
#include "folderlist/KeySort.h"

#include <QFile>
#include <algorithm>
#include <numeric>

namespace velmaro {

namespace {
// Names without a key are merged one by one (a binary search each, by the
// collator): up to this many plus one in 64 names.
constexpr std::size_t kMergedAtMost = 64;
}  // namespace

bool NameRanking::rank(const FolderSlots& table, const CollationKeys& keys, const CollationOrder& order,
                       std::vector<quint32>& ranks)
{
    NameRanking ranking(table, keys, order);
    const quint32 count = keys.size();
    for (quint32 s = 0; s < count; ++s) {
        if (!keys.known(s) || table[s].parent == FolderSlot::kNoParent)
            ranking.unknown_.push_back(s);
    }
    if (ranking.unknown_.size() > kMergedAtMost + count / 64)
        return false;
    ranking.sortKnown();
    ranking.mergeUnknown();
    ranking.number(ranks);
    return true;
}

QString NameRanking::nameOf(quint32 slot) const
{
    return QFile::decodeName(slots_.rawName(slot));
}

// By the first 8 key bytes in one radix sort; runs that share them by the
// bytes that follow.
void NameRanking::sortKnown()
{
    const quint32 count = keys_.size();
    sorted_.reserve(count - unknown_.size());
    std::vector<quint64> heads(count, 0);
    for (quint32 s = 0, u = 0; s < count; ++s) {
        if (u < unknown_.size() && unknown_[u] == s) {
            ++u;
            continue;
        }
        sorted_.push_back(s);
        heads[s] = keys_.chunk(s, 0);
    }
    std::vector<quint64> sortedHeads;
    KeySort::sort(sorted_, heads, &sortedHeads);
    std::vector<quint64>().swap(heads);
    equalToPrevious_.assign(sorted_.size(), 0);
    for (std::size_t at = 0; at < sorted_.size();) {
        std::size_t end = at + 1;
        while (end < sorted_.size() && sortedHeads[end] == sortedHeads[at])
            ++end;
        if (end - at > 1)
            sortRun(sorted_.data() + at, sorted_.data() + end, 8);
        at = end;
    }
}

// Slots whose keys agree in their first `depth` bytes: by the next 8 bytes,
// and so on; keys that agree to their ends by the collator.
void NameRanking::sortRun(quint32* first, quint32* last, quint32 depth)
{
    const bool ended = std::all_of(first, last, [&](quint32 s) { return keys_.length(s) <= depth; });
    if (ended) {
        sortEqualKeys(first, last);
        return;
    }
    const std::size_t base = items_.size();
    for (quint32* it = first; it != last; ++it)
        items_.push_back(Item{keys_.chunk(*it, depth), *it});
    std::sort(items_.begin() + qsizetype(base), items_.end(), [](const Item& a, const Item& b) {
        return a.chunk != b.chunk ? a.chunk < b.chunk : a.slot < b.slot;
    });
    for (std::size_t i = base; i < items_.size(); ++i)
        first[i - base] = items_[i].slot;
    std::vector<quint64> chunks(std::size_t(last - first));
    for (std::size_t i = base; i < items_.size(); ++i)
        chunks[i - base] = items_[i].chunk;
    items_.resize(base);
    for (std::size_t at = 0; at < chunks.size();) {
        std::size_t end = at + 1;
        while (end < chunks.size() && chunks[end] == chunks[at])
            ++end;
        if (end - at > 1)
            sortRun(first + at, first + end, depth + 8);
        at = end;
    }
}

// Names equal at primary level: the collator orders them (stable).
void NameRanking::sortEqualKeys(quint32* first, quint32* last)
{
    const std::size_t count = std::size_t(last - first);
    std::vector<QString> names(count);
    for (std::size_t i = 0; i < count; ++i)
        names[i] = nameOf(first[i]);
    std::vector<quint32> at(count);
    std::iota(at.begin(), at.end(), 0);
    std::stable_sort(at.begin(), at.end(),
                     [&](quint32 a, quint32 b) { return order_.compare(names[a], names[b]) < 0; });
    const std::vector<quint32> before(first, last);
    char* equal = equalToPrevious_.data() + (first - sorted_.data());
    for (std::size_t i = 0; i < count; ++i) {
        first[i] = before[at[i]];
        equal[i] = i > 0 && order_.compare(names[at[i - 1]], names[at[i]]) == 0;
    }
}

// The names without a key, sorted by the collator, each placed after every
// name that is not greater.
void NameRanking::mergeUnknown()
{
    if (unknown_.empty())
        return;
    std::vector<QString> names(unknown_.size());
    std::vector<QStringView> views(unknown_.size());
    for (std::size_t i = 0; i < unknown_.size(); ++i) {
        names[i] = nameOf(unknown_[i]);
        views[i] = names[i];
    }
    std::vector<quint32> local(unknown_.size());
    std::iota(local.begin(), local.end(), 0);
    const CollationSort::Result added = CollationSort::sort(order_, views, local, 0);
    const auto compareTo = [&](quint32 at, quint32 slot) { return order_.compare(views[at], nameOf(slot)); };
    std::vector<quint32> merged;
    std::vector<char> equal;
    merged.reserve(sorted_.size() + unknown_.size());
    equal.reserve(merged.capacity());
    qsizetype lastNew = -1;  // merged.back() is the new name added[lastNew], else an old one
    const auto equalToLast = [&](QStringView name) {
        if (merged.empty())
            return false;
        return order_.compare(lastNew >= 0 ? views[quint32(lastNew)] : QStringView(nameOf(merged.back())),
                              name) == 0;
    };
    auto from = sorted_.cbegin();
    for (std::size_t i = 0; i < added.rows.size(); ++i) {
        const quint32 at = added.rows[i];
        const auto to = std::upper_bound(from, sorted_.cend(), at,
                                         [&](quint32 a, quint32 slot) { return compareTo(a, slot) < 0; });
        if (from != to) {  // old names up to `to`: only the first can follow a new one
            const std::size_t first = std::size_t(from - sorted_.cbegin());
            const bool firstEqual = lastNew >= 0 && equalToLast(nameOf(*from));
            equal.insert(equal.end(), equalToPrevious_.begin() + qsizetype(first),
                         equalToPrevious_.begin() + (to - sorted_.cbegin()));
            if (lastNew >= 0 || merged.empty())
                equal[merged.size()] = firstEqual;
            merged.insert(merged.end(), from, to);
            from = to;
            lastNew = -1;
        }
        equal.push_back(equalToLast(views[at]));
        merged.push_back(unknown_[at]);
        lastNew = qsizetype(at);
    }
    if (from != sorted_.cend()) {
        const std::size_t first = std::size_t(from - sorted_.cbegin());
        const bool firstEqual = equalToLast(nameOf(*from));
        equal.insert(equal.end(), equalToPrevious_.begin() + qsizetype(first), equalToPrevious_.end());
        equal[merged.size()] = firstEqual;
        merged.insert(merged.end(), from, sorted_.cend());
    }
    sorted_ = std::move(merged);
    equalToPrevious_ = std::move(equal);
}

void NameRanking::number(std::vector<quint32>& ranks) const
{
    ranks.assign(keys_.size(), 0);
    quint32 rank = 0;
    for (std::size_t i = 0; i < sorted_.size(); ++i) {
        if (i > 0 && !equalToPrevious_[i])
            ++rank;
        ranks[sorted_[i]] = rank;
    }
}

}  // namespace velmaro

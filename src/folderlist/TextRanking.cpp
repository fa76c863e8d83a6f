#include "folderlist/TextRanking.h"

#include "folderlist/CollationSort.h"

#include <algorithm>
#include <numeric>

namespace velmaro {

void TextRanking::clear()
{
    order_.reset();
    std::vector<quint32>().swap(sorted_);
    std::vector<quint32>().swap(rank_);
    reference_.clear();
    skip_ = 0;
}

void TextRanking::update(quint32 count, const TextOf& textOf)
{
    if (count <= ranked())
        return;
    if (!order_)
        order_ = std::make_unique<CollationOrder>();
    const quint32 added = count - ranked();
    if (ranked() == 0 || added > ranked() / 4) {
        texts_.resize(count);
        for (quint32 row = 0; row < count; ++row)
            texts_[row] = textOf(row);
        rebuild(count);
    } else {
        insert(count, textOf);
    }
    std::vector<QStringView>().swap(texts_);
}

// Narrows skip_ to the characters that texts_ share with the reference text.
void TextRanking::narrowSkip()
{
    if (texts_.empty())
        return;
    if (reference_.isNull()) {
        reference_ = texts_.front().toString();
        skip_ = order_->knownPrefixLength(reference_);
    }
    for (size_t i = 0; i < texts_.size() && skip_ > 0; ++i) {
        if (i + 8 < texts_.size())
            __builtin_prefetch(texts_[i + 8].utf16());  // texts lie all over memory
        const QStringView text = texts_[i];
        const qsizetype limit = std::min(skip_, text.size());
        qsizetype same = 0;
        while (same < limit && text[same] == reference_[same])
            ++same;
        skip_ = same;
    }
}

void TextRanking::rebuild(quint32 count)
{
    reference_ = QString();
    narrowSkip();
    std::vector<quint32> rows(count);
    std::iota(rows.begin(), rows.end(), 0);
    CollationSort::Result sorted = CollationSort::sort(*order_, texts_, rows, skip_);
    sorted_ = std::move(sorted.rows);
    renumber(sorted.equalToPrevious);
}

// Rows [ranked(), count) in collation order; texts_ holds their texts.
std::vector<quint32> TextRanking::sortedNewRows(quint32 count, const TextOf& textOf)
{
    const quint32 first = ranked();
    texts_.resize(count - first);
    for (quint32 row = first; row < count; ++row)
        texts_[row - first] = textOf(row);
    narrowSkip();
    std::vector<quint32> added(count - first);
    std::iota(added.begin(), added.end(), 0);
    added = CollationSort::sort(*order_, texts_, added, skip_).rows;
    for (quint32& row : added)
        row += first;
    return added;
}

// Inserts the new rows into the sorted list by binary search, then numbers
// the ranks again (equal neighbours keep one rank).
void TextRanking::insert(quint32 count, const TextOf& textOf)
{
    const quint32 first = ranked();
    const std::vector<quint32> added = sortedNewRows(count, textOf);
    const auto text = [&](quint32 row) { return row >= first ? texts_[row - first] : textOf(row); };
    const auto cmp = [&](quint32 a, quint32 b) { return order_->compare(text(a), text(b), skip_); };
    std::vector<quint32> merged;
    std::vector<char> equalToPrevious;  // per merged position
    merged.reserve(count);
    equalToPrevious.reserve(count);
    const auto pushOld = [&](std::vector<quint32>::const_iterator it) {
        bool equal = false;
        if (!merged.empty()) {
            const bool oldNeighbour = it != sorted_.cbegin() && merged.back() == *(it - 1);
            equal = oldNeighbour ? rank_[*it] == rank_[*(it - 1)] : cmp(merged.back(), *it) == 0;
        }
        equalToPrevious.push_back(equal);
        merged.push_back(*it);
    };
    auto from = sorted_.cbegin();
    for (const quint32 row : added) {
        // After every old row that is not greater: equal texts keep arrival order.
        const auto at = std::upper_bound(from, sorted_.cend(), row,
                                         [&](quint32 r, quint32 old) { return cmp(r, old) < 0; });
        for (; from != at; ++from)
            pushOld(from);
        equalToPrevious.push_back(!merged.empty() && cmp(merged.back(), row) == 0);
        merged.push_back(row);
    }
    for (; from != sorted_.cend(); ++from)
        pushOld(from);
    sorted_ = std::move(merged);
    renumber(equalToPrevious);
}

void TextRanking::renumber(const std::vector<char>& equalToPrevious)
{
    rank_.resize(sorted_.size());
    quint32 rank = 0;
    for (size_t i = 0; i < sorted_.size(); ++i) {
        if (i > 0 && !equalToPrevious[i])
            ++rank;
        rank_[sorted_[i]] = rank;
    }
}

}  // namespace velmaro

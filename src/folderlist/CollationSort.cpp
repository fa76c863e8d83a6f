#include "folderlist/CollationSort.h"

#include <QCollatorSortKey>

#include <algorithm>
#include <bit>
#include <numeric>

namespace velmaro {

namespace {

constexpr quint32 kSecond = 0x80000000u;
constexpr int kSlotBits = 7;
constexpr int kSlots = 9;
constexpr quint64 kUnknown = 127;
constexpr std::ptrdiff_t kKeySortFrom = 64;  // longer exact ranges sort by sort keys

int shiftOf(int slot)
{
    return kSlotBits * (kSlots - 1 - slot) + 1;
}

// Slot of the first unknown weight in a chunk, or -1.
int unknownSlot(quint64 chunk)
{
    for (int slot = 0; slot < kSlots; ++slot) {
        const quint64 w = (chunk >> shiftOf(slot)) & kUnknown;
        if (w == kUnknown)
            return slot;
        if (w == 0)
            return -1;
    }
    return -1;
}

// Mask of the slots before `slot`.
quint64 headMask(int slot)
{
    return slot == 0 ? 0 : ~quint64(0) << shiftOf(slot - 1);
}

}  // namespace

CollationSort::Result CollationSort::sort(const CollationOrder& order, const std::vector<QStringView>& texts,
                                          const std::vector<quint32>& rows, qsizetype skip)
{
    CollationSort sorter(order, texts, skip);
    sorter.exact_.assign(texts.size(), 0);
    std::vector<Item> items(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        items[i] = Item{0, rows[i], quint32(skip)};
    if (order.fast())
        sorter.sortRun(items.data(), items.data() + items.size());
    else
        sorter.keySort(items.data(), items.data() + items.size());
    Result result;
    result.rows.resize(items.size());
    result.equalToPrevious.resize(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        result.rows[i] = items[i].row;
        // Only texts sorted exactly together can be equal: the others differ
        // in a weight.
        const quint32 range = sorter.exact_[items[i].row];
        result.equalToPrevious[i] = i > 0 && range != 0 && range == sorter.exact_[items[i - 1].row] &&
                                    order.compare(texts[items[i - 1].row], texts[items[i].row], skip) == 0;
    }
    return result;
}

// The exact order of two items of one run. Equal chunks: the weights before
// both cursors are equal, the walk goes on from there.
int CollationSort::exactCompare(const Item& a, const Item& b) const
{
    int c = 0;
    if (a.chunk != b.chunk) {
        c = CollationOrder::prefixDecides(a.chunk, b.chunk)
                ? (a.chunk < b.chunk ? -1 : 1)
                : order_.compare(texts_[a.row], texts_[b.row], skip_);
    } else {
        const CollationOrder::Cursor at{qsizetype(a.next & ~kSecond), (a.next & kSecond) != 0};
        const CollationOrder::Cursor bt{qsizetype(b.next & ~kSecond), (b.next & kSecond) != 0};
        c = order_.compare(texts_[a.row], at, texts_[b.row], bt);
    }
    return c != 0 ? c : (a.row < b.row ? -1 : a.row > b.row);
}

void CollationSort::exactSort(Item* first, Item* last)
{
    if (last - first > kKeySortFrom) {
        keySort(first, last);
        return;
    }
    std::sort(first, last, [this](const Item& a, const Item& b) { return exactCompare(a, b) < 0; });
    const quint32 range = ++ranges_;
    for (Item* it = first; it != last; ++it)
        exact_[it->row] = range;
}

// The collator's sort keys, made once per text: for many texts (a locale
// with contractions, or many names in a script outside the known set) far
// cheaper than comparing texts again and again.
void CollationSort::keySort(Item* first, Item* last)
{
    const size_t count = size_t(last - first);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(count);
    for (Item* it = first; it != last; ++it)
        keys.push_back(order_.collator().sortKey(texts_[it->row].toString()));
    std::vector<quint32> at(count);
    std::iota(at.begin(), at.end(), 0);
    std::sort(at.begin(), at.end(), [&](quint32 a, quint32 b) {
        const int c = keys[a].compare(keys[b]);
        return c != 0 ? c < 0 : first[a].row < first[b].row;
    });
    std::vector<Item> sorted(count);
    for (size_t i = 0; i < count; ++i)
        sorted[i] = first[at[i]];
    std::copy(sorted.begin(), sorted.end(), first);
    const quint32 range = ++ranges_;  // equal texts are found by comparing neighbours
    for (Item* it = first; it != last; ++it)
        exact_[it->row] = range;
}

void CollationSort::takeChunks(Item* first, Item* last) const
{
    // Texts lie all over memory: fetch ahead what the next items will read.
    constexpr std::ptrdiff_t kViewAhead = 16, kTextAhead = 8;
    for (Item* it = first; it != last; ++it) {
        if (last - it > kViewAhead)
            __builtin_prefetch(&texts_[(it + kViewAhead)->row]);
        if (last - it > kTextAhead)
            __builtin_prefetch(texts_[(it + kTextAhead)->row].utf16() +
                               (it + kTextAhead)->next % 0x80000000u);
        CollationOrder::Cursor at{qsizetype(it->next & ~kSecond), (it->next & kSecond) != 0};
        it->chunk = order_.chunk(texts_[it->row], at);
        it->next = quint32(at.index) | (at.second ? kSecond : 0);
    }
}

// Items that share every weight before their cursors: sort by the next chunk.
void CollationSort::sortRun(Item* first, Item* last)
{
    if (last - first < 2)
        return;
    takeChunks(first, last);
    std::sort(first, last, [](const Item& a, const Item& b) {
        return a.chunk != b.chunk ? a.chunk < b.chunk : a.row < b.row;
    });
    // A text with an unknown weight can belong anywhere among the texts that
    // share the slots before it: those ranges are sorted exactly.
    std::vector<std::pair<Item*, Item*>> exact;
    for (Item* it = first; it != last; ++it) {
        const int slot = unknownSlot(it->chunk);
        if (slot < 0 || (!exact.empty() && it < exact.back().second))
            continue;
        const quint64 mask = headMask(slot), head = it->chunk & mask;
        Item* lo = std::partition_point(first, it, [&](const Item& x) { return (x.chunk & mask) < head; });
        Item* hi = std::partition_point(it, last, [&](const Item& x) { return (x.chunk & mask) == head; });
        while (!exact.empty() && lo < exact.back().second) {  // swallow overlapped ranges
            lo = std::min(lo, exact.back().first);
            exact.pop_back();
        }
        exact.emplace_back(lo, hi);
    }
    Item* done = first;
    for (const auto& [lo, hi] : exact) {
        sortPieces(done, lo);
        exactSort(lo, hi);
        done = hi;
    }
    sortPieces(done, last);
}

// Between exact ranges: runs of equal chunks need more work, the rest is in order.
void CollationSort::sortPieces(Item* first, Item* last)
{
    for (Item* run = first; run != last;) {
        Item* end = run + 1;
        while (end != last && end->chunk == run->chunk)
            ++end;
        if (end - run > 1) {
            if (CollationOrder::isFull(run->chunk))
                sortRun(run, end);
            else
                exactSort(run, end);  // equal at primary level: the collator decides
        }
        run = end;
    }
}

}  // namespace velmaro

#include "folderlist/KeySort.h"

#include <algorithm>
#include <array>
#include <bit>

namespace velmaro {

namespace {

constexpr int kMaxBits = 11;
constexpr std::size_t kBuckets = std::size_t(1) << kMaxBits;
using Counts = std::array<std::size_t, kBuckets>;

// The digits of the bits [from, from + width) of a key, each `bits` wide.
struct Digits {
    int from = 0;
    int bits = kMaxBits;
    int count = 0;

    static Digits of(int from, int width)
    {
        const int count = (width + kMaxBits - 1) / kMaxBits;
        return Digits{from, count ? (width + count - 1) / count : kMaxBits, count};
    }
    std::size_t at(quint64 key, int digit) const
    {
        return std::size_t(key >> (from + bits * digit)) & ((std::size_t(1) << bits) - 1);
    }
};

// One stable pass per digit in which the items differ. `keyOf(item)` gives
// the word the digits are taken from.
template <typename Item, typename KeyOf>
void radixSort(std::vector<Item>& items, const Digits& digits, KeyOf keyOf)
{
    const std::size_t count = items.size();
    std::vector<Counts> counts(std::size_t(digits.count), Counts{});
    for (const Item& item : items) {
        for (int digit = 0; digit < digits.count; ++digit)
            ++counts[std::size_t(digit)][digits.at(keyOf(item), digit)];
    }
    std::vector<Item> spare(count);
    for (int digit = 0; digit < digits.count; ++digit) {
        Counts& at = counts[std::size_t(digit)];
        if (at[digits.at(keyOf(items[0]), digit)] == count)
            continue;  // every key has this digit: the pass would change nothing
        std::size_t sum = 0;
        for (std::size_t& n : at) {
            const std::size_t here = n;
            n = sum;
            sum += here;
        }
        for (const Item& item : items)
            spare[at[digits.at(keyOf(item), digit)]++] = item;
        items.swap(spare);
    }
}

int bitsOf(quint64 value)
{
    return 64 - std::countl_zero(value);
}

struct Pair {
    quint64 key;
    quint32 row;
};

// `keys` hold the keys of `rows`, in the same order.
void sortPairs(std::vector<quint32>& rows, const std::vector<quint64>& keys, std::vector<quint64>* sortedKeys)
{
    std::vector<Pair> items(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        items[i] = Pair{keys[i], rows[i]};
    radixSort(items, Digits::of(0, 64), [](const Pair& item) { return item.key; });
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = items[i].row;
    if (sortedKeys) {
        sortedKeys->resize(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            (*sortedKeys)[i] = items[i].key;
    }
}

// `words` hold the keys of `rows`; they become (key - lowest) << rowBits | row.
void sortPacked(std::vector<quint32>& rows, std::vector<quint64>& words, quint64 lowest, int keyBits,
                int rowBits, std::vector<quint64>* sortedKeys)
{
    for (std::size_t i = 0; i < rows.size(); ++i)
        words[i] = (words[i] - lowest) << rowBits | rows[i];
    radixSort(words, Digits::of(rowBits, keyBits), [](quint64 word) { return word; });
    const quint64 rowMask = (quint64(1) << rowBits) - 1;
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = quint32(words[i] & rowMask);
    if (sortedKeys) {
        for (quint64& word : words)
            word = (word >> rowBits) + lowest;
        sortedKeys->swap(words);
    }
}

}  // namespace

void KeySort::sort(std::vector<quint32>& rows, const std::vector<quint64>& keyOf,
                   std::vector<quint64>* sortedKeys)
{
    const std::size_t count = rows.size();
    if (count == 0) {
        if (sortedKeys)
            sortedKeys->clear();
        return;
    }
    std::vector<quint64> keys(count);
    quint64 lowest = keyOf[rows[0]], highest = lowest;
    quint32 topRow = 0;
    for (std::size_t i = 0; i < count; ++i) {
        keys[i] = keyOf[rows[i]];
        lowest = std::min(lowest, keys[i]);
        highest = std::max(highest, keys[i]);
        topRow = std::max(topRow, rows[i]);
    }
    const int keyBits = bitsOf(highest - lowest), rowBits = bitsOf(topRow);
    if (keyBits + rowBits <= 64)
        sortPacked(rows, keys, lowest, keyBits, rowBits, sortedKeys);
    else
        sortPairs(rows, keys, sortedKeys);
}

}  // namespace velmaro

#include "app/controls/KeySort.h"

#include <array>

namespace velmaro {

namespace {

constexpr int kBits = 11;
constexpr int kDigits = (64 + kBits - 1) / kBits;
constexpr std::size_t kBuckets = std::size_t(1) << kBits;

struct Item {
    quint64 key;
    quint32 row;
};

std::size_t digitOf(quint64 key, int digit)
{
    return std::size_t(key >> (kBits * digit)) & (kBuckets - 1);
}

}  // namespace

void KeySort::sort(std::vector<quint32>& rows, const std::vector<quint64>& keyOf,
                   std::vector<quint64>* sortedKeys)
{
    const std::size_t count = rows.size();
    if (count < 2) {
        if (sortedKeys)
            sortedKeys->assign(count, count ? keyOf[rows[0]] : 0);
        return;
    }
    std::vector<Item> items(count), spare(count);
    std::vector<std::array<std::size_t, kBuckets>> counts(kDigits);
    for (std::size_t i = 0; i < count; ++i) {
        items[i] = Item{keyOf[rows[i]], rows[i]};
        for (int digit = 0; digit < kDigits; ++digit)
            ++counts[std::size_t(digit)][digitOf(items[i].key, digit)];
    }
    for (int digit = 0; digit < kDigits; ++digit) {
        std::array<std::size_t, kBuckets>& at = counts[std::size_t(digit)];
        if (at[digitOf(items[0].key, digit)] == count)
            continue;  // every key has this digit: the pass would change nothing
        std::size_t sum = 0;
        for (std::size_t& n : at) {
            const std::size_t here = n;
            n = sum;
            sum += here;
        }
        for (const Item& item : items)
            spare[at[digitOf(item.key, digit)]++] = item;
        items.swap(spare);
    }
    for (std::size_t i = 0; i < count; ++i)
        rows[i] = items[i].row;
    if (sortedKeys) {
        sortedKeys->resize(count);
        for (std::size_t i = 0; i < count; ++i)
            (*sortedKeys)[i] = items[i].key;
    }
}

}  // namespace velmaro

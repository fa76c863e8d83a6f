#include "app/controls/KeySort.h"

#include <array>

namespace velmaro {

namespace {
struct Item {
    quint64 key;
    quint32 row;
};
}  // namespace

void KeySort::sort(std::vector<quint32>& rows, const std::vector<quint64>& keys)
{
    const std::size_t count = rows.size();
    if (count < 2)
        return;
    std::vector<Item> items(count), spare(count);
    std::array<std::array<std::size_t, 256>, 8> counts{};
    for (std::size_t i = 0; i < count; ++i) {
        items[i] = Item{keys[i], rows[i]};
        for (int digit = 0; digit < 8; ++digit)
            ++counts[digit][(keys[i] >> (8 * digit)) & 0xff];
    }
    for (int digit = 0; digit < 8; ++digit) {
        std::array<std::size_t, 256>& at = counts[digit];
        if (at[(items[0].key >> (8 * digit)) & 0xff] == count)
            continue;  // every key has this byte: the pass would change nothing
        std::size_t sum = 0;
        for (std::size_t& n : at) {
            const std::size_t here = n;
            n = sum;
            sum += here;
        }
        for (const Item& item : items)
            spare[at[(item.key >> (8 * digit)) & 0xff]++] = item;
        items.swap(spare);
    }
    for (std::size_t i = 0; i < count; ++i)
        rows[i] = items[i].row;
}

}  // namespace velmaro

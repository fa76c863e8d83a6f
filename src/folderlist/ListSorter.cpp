#include "folderlist/ListSorter.h"

#include "folderlist/KeySort.h"
#include "folderlist/NameRanking.h"
#include "folderlist/PathRanking.h"

#include <QFile>
#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>

namespace velmaro {

namespace {

constexpr quint64 kLast = std::numeric_limits<quint64>::max();

// Names of all slots decoded into one buffer, for TextRanking.
class DecodedNames {
public:
    explicit DecodedNames(const FolderSlots& table)
        : at_(std::size_t(table.size()) + 1, 0)
    {
        for (quint32 s = 0; s < table.size(); ++s) {
            if (table[s].parent == FolderSlot::kNoParent) {
                append(QFile::decodeName(table.rawName(s)));
            } else {
                const char* name = table.text(s);
                const std::size_t length = std::strlen(name);
                if (std::all_of(name, name + length, [](char c) { return (c & 0x80) == 0; }))
                    appendAscii(name, length);
                else
                    append(QFile::decodeName(QByteArray::fromRawData(name, qsizetype(length))));
            }
            at_[s + 1] = quint32(text_.size());
        }
    }
    QStringView operator()(quint32 slot) const
    {
        return QStringView(text_.data() + at_[slot], qsizetype(at_[slot + 1] - at_[slot]));
    }

private:
    // Widened in place: appending a range of chars would make a string of it first.
    void appendAscii(const char* name, std::size_t length)
    {
        const std::size_t at = text_.size();
        text_.resize(at + length);
        std::copy(name, name + length, text_.begin() + std::ptrdiff_t(at));
    }
    void append(const QString& text)
    {
        text_.append(reinterpret_cast<const char16_t*>(text.utf16()), text.size());
    }
    std::u16string text_;
    std::vector<quint32> at_;
};

// The ascending key of a number column (2 size, 3 created, 4 last change).
quint64 ascendingKey(const FolderSlot& slot, int column)
{
    if (column == 2)
        return slot.is(FolderSlot::kSizeKnown) ? std::min<quint64>(slot.bytes, kLast - 1) : kLast;
    const qint64 ms = column == 3 ? slot.createdMs : slot.accessedMs;
    return quint64(ms) ^ (quint64(1) << 63);  // kNoTime -> 0: empty cells first
}

}  // namespace

ListSorter::ListSorter() = default;
ListSorter::~ListSorter() = default;

const CollationOrder& ListSorter::order()
{
    if (!order_)
        order_ = std::make_unique<CollationOrder>();  // the locale of the first text sort
    return *order_;
}

const CollationKeys& ListSorter::keys(const FolderSlots& table)
{
    if (!keys_)
        keys_ = std::make_unique<CollationKeys>(order());
    keys_->update(table);
    return *keys_;
}

void ListSorter::rankNames(const FolderSlots& table)
{
    if (namesByText_ ? names_.ranked() >= table.size() : nameRanks_.size() >= table.size())
        return;
    if (!namesByText_ && NameRanking::rank(table, keys(table), order(), nameRanks_))
        return;
    namesByText_ = true;
    std::vector<quint32>().swap(nameRanks_);
    const DecodedNames names(table);
    names_.update(table.size(), [&names](quint32 slot) { return names(slot); });
}

void ListSorter::rankPaths(const Request& request)
{
    if (pathRowsRanked_ == request.rows.size())
        return;
    pathRanks_ = PathRanking::rank(request.table, request.rows, order(), keys(request.table));
    pathRowsRanked_ = request.rows.size();
}

// The ascending keys of a number column's rows, per slot, read in slot
// order, as they are stored; other slots are not read (the list may be
// filling them now). A cell without a number (a failure text, an empty time)
// is keyed next to the numbers rather than far off, so that the keys span
// no more than the numbers do and sort in fewer digits.
std::vector<quint64> ListSorter::numberKeys(const Request& request, bool& blanks)
{
    const FolderSlots& table = request.table;
    std::vector<bool> isRow;
    if (request.rows.size() < table.size()) {
        isRow.assign(table.size(), false);
        for (const quint32 row : request.rows)
            isRow[row] = true;
    }
    const quint64 blank = request.column == 2 ? kLast : 0;
    quint64 low = kLast, high = 0;
    std::vector<quint64> keys(table.size());
    blanks = false;
    for (quint32 s = 0; s < table.size(); ++s) {
        if (!isRow.empty() && !isRow[s])
            continue;
        keys[s] = ascendingKey(table[s], request.column);
        if (keys[s] == blank) {
            blanks = true;
        } else {
            low = std::min(low, keys[s]);
            high = std::max(high, keys[s]);
        }
    }
    if (blanks && low <= high)
        std::replace(keys.begin(), keys.end(), blank, request.column == 2 ? high + 1 : low - 1);
    return keys;
}

// Sorts the rows by key (stable), then numbers the runs of equal keys.
// Returns the rows in ascending order.
std::vector<quint32> ListSorter::rankNumbers(const Request& request, NumberRanks& ranks)
{
    bool blanks = false;
    std::vector<quint32> sorted = request.rows;
    std::vector<quint64> sortedKeys;
    KeySort::sort(sorted, numberKeys(request, blanks), &sortedKeys);
    ranks.of.assign(request.table.size(), 0);
    quint32 rank = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (i > 0 && sortedKeys[i] != sortedKeys[i - 1])
            ++rank;
        ranks.of[sorted[i]] = rank;
    }
    ranks.count = sorted.empty() ? 0 : rank + 1;
    ranks.lastStays = request.column == 2 && blanks;  // the failures' key is the highest
    ranks.rows = request.rows.size();
    return sorted;
}

ListSorter::Ranks ListSorter::ranks(const Request& request, std::vector<quint32>& ascending)
{
    const quint32 slotCount = request.table.size();
    switch (request.column) {
    case 0:
        rankNames(request.table);
        return Ranks{namesByText_ ? names_.ranks() : nameRanks_.data(), slotCount, false};
    case 1: rankPaths(request); return Ranks{pathRanks_.data(), slotCount, false};
    default: {
        NumberRanks& numbers = numbers_[request.column - 2];
        if (numbers.rows != request.rows.size() || numbers.of.size() != slotCount)
            ascending = rankNumbers(request, numbers);
        return Ranks{numbers.of.data(), numbers.count, numbers.lastStays};
    }
    }
}

// A counting sort of the rows in their present order by rank: stable.
std::vector<quint32> ListSorter::byRank(const std::vector<quint32>& rows, const Ranks& ranks, bool down)
{
    const quint32 top = ranks.count == 0 ? 0 : ranks.count - 1;
    const quint32 flip = ranks.lastStays ? top - 1 : top;
    std::vector<quint32> place(rows.size());  // each row's rank in the direction asked for
    std::vector<quint32> at(std::size_t(ranks.count) + 1, 0);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const quint32 rank = ranks.of[rows[i]];
        place[i] = !down || (ranks.lastStays && rank == top) ? rank : flip - rank;
        ++at[place[i] + 1];
    }
    std::partial_sum(at.begin(), at.end(), at.begin());
    std::vector<quint32> sorted(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        sorted[at[place[i]]++] = rows[i];
    return sorted;
}

std::vector<quint32> ListSorter::sort(const Request& request, const std::atomic<bool>& cancel)
{
    std::vector<quint32> ascending;  // made by a first sort of a number column
    const Ranks ranks = this->ranks(request, ascending);
    if (cancel.load())
        return {};
    if (!ascending.empty() && request.order == Qt::AscendingOrder)
        return ascending;
    return byRank(request.rows, ranks, request.order == Qt::DescendingOrder);
}

}  // namespace velmaro

#include "app/controls/ListSorter.h"

#include "app/controls/KeySort.h"
#include "app/controls/PathRanking.h"

#include <QFile>
#include <cstring>
#include <limits>

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
                    text_.append(name, name + length);
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
    void append(const QString& text)
    {
        text_.append(reinterpret_cast<const char16_t*>(text.utf16()), text.size());
    }
    std::u16string text_;
    std::vector<quint32> at_;
};

}  // namespace

ListSorter::ListSorter() = default;
ListSorter::~ListSorter() = default;

const CollationOrder& ListSorter::order()
{
    if (!order_)
        order_ = std::make_unique<CollationOrder>();  // the locale of the first text sort
    return *order_;
}

void ListSorter::rankNames(const FolderSlots& table)
{
    if (names_.ranked() >= table.size())
        return;
    order();
    const DecodedNames names(table);
    names_.update(table.size(), [&names](quint32 slot) { return names(slot); });
}

void ListSorter::rankPaths(const Request& request)
{
    if (pathRowsRanked_ == request.rows.size())
        return;
    pathRanks_ = PathRanking::rank(request.table, request.rows, order());
    pathRowsRanked_ = request.rows.size();
}

// The key per slot of every row. Rows are read in slot order, as they are
// stored; other slots are not read (the list may be filling them now).
std::vector<quint64> ListSorter::keys(const Request& request)
{
    const bool up = request.order == Qt::AscendingOrder;
    const FolderSlots& table = request.table;
    std::vector<quint64> keys(table.size());
    std::vector<bool> isRow(table.size());
    for (const quint32 row : request.rows)
        isRow[row] = true;
    for (quint32 s = 0; s < table.size(); ++s) {
        if (!isRow[s])
            continue;
        const FolderSlot& slot = table[s];
        quint64 key = 0;
        switch (request.column) {
        case 0:
        case 1: {
            const quint64 rank = request.column == 0 ? names_.rank(s) : pathRanks_[s];
            key = up ? rank : 0xffffffffULL - rank;
            break;
        }
        case 2:
            if (!slot.is(FolderSlot::kSizeKnown)) {
                key = kLast;  // failure texts last in both directions
            } else {
                const quint64 bytes = std::min<quint64>(slot.bytes, kLast - 1);
                key = up ? bytes : (kLast - 1) - bytes;
            }
            break;
        default: {
            const qint64 ms = request.column == 3 ? slot.createdMs : slot.accessedMs;
            const quint64 time = quint64(ms) ^ (quint64(1) << 63);  // kNoTime -> 0
            key = up ? time : ~time;
        }
        }
        keys[s] = key;
    }
    return keys;
}

std::vector<quint32> ListSorter::sort(const Request& request, const std::atomic<bool>& cancel)
{
    if (request.column == 0)
        rankNames(request.table);
    else if (request.column == 1)
        rankPaths(request);
    if (cancel.load())
        return {};
    std::vector<quint32> rows = request.rows;
    KeySort::sort(rows, keys(request));
    return rows;
}

}  // namespace velmaro

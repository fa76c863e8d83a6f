#include "cli/RecordOrder.h"

#include "cli/PathOrder.h"

#include <algorithm>
#include <tuple>

namespace velmaro::cli {

namespace {

using engine::FolderRecord;

// -1, 0, 1 for a < b, equal, a > b.
template <typename T>
int compare(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

int compareTimes(const engine::FileTime& a, const engine::FileTime& b)
{
    return compare(std::tie(a.seconds, a.nanoseconds), std::tie(b.seconds, b.nanoseconds));
}

int compareBy(SortKey key, const FolderRecord& a, const FolderRecord& b)
{
    switch (key) {
    case SortKey::Name: return a.name.compare(b.name);
    case SortKey::Path: return 0;
    case SortKey::Size: {
        const bool aKnown = a.sizeState == engine::SizeState::Complete;
        const bool bKnown = b.sizeState == engine::SizeState::Complete;
        if (aKnown != bKnown)
            return aKnown ? -1 : 1;
        return aKnown ? compare(a.bytes, b.bytes) : 0;
    }
    case SortKey::Created:
        if (a.created.has_value() != b.created.has_value())
            return a.created ? 1 : -1;
        return a.created ? compareTimes(*a.created, *b.created) : 0;
    case SortKey::Accessed: return compareTimes(a.accessed, b.accessed);
    }
    return 0;
}

// The path order without comparing every path (PathOrder).
std::vector<const FolderRecord*> inPathOrder(const RecordList& records,
                                             const RecordOrder::Selection& selection)
{
    std::vector<const FolderRecord*> rows = PathOrder::of(records);
    if (selection.zeroOnly)
        std::erase_if(rows, [](const FolderRecord* r) { return !r->zeroByte; });
    if (selection.reverse)
        std::reverse(rows.begin(), rows.end());
    if (selection.top > 0 && selection.top < rows.size())
        rows.resize(selection.top);
    return rows;
}

}  // namespace

std::vector<const FolderRecord*> RecordOrder::select(const RecordList& records,
                                                     const Selection& selection)
{
    // A few rows of many: picking them costs less than ordering all.
    const bool few = selection.top > 0 && selection.top < records.size() / 16;
    if (selection.sort == SortKey::Path && !few)
        return inPathOrder(records, selection);
    std::vector<const FolderRecord*> rows;
    rows.reserve(records.size());
    for (const FolderRecord& record : records) {
        if (!selection.zeroOnly || record.zeroByte)
            rows.push_back(&record);
    }
    const auto less = [&](const FolderRecord* a, const FolderRecord* b) {
        int order = compareBy(selection.sort, *a, *b);
        if (order == 0)
            order = a->path.compare(b->path);
        return selection.reverse ? order > 0 : order < 0;
    };
    if (selection.top > 0 && selection.top < rows.size()) {
        std::partial_sort(rows.begin(), rows.begin() + std::ptrdiff_t(selection.top), rows.end(), less);
        rows.resize(selection.top);
    } else {
        std::sort(rows.begin(), rows.end(), less);
    }
    return rows;
}

}  // namespace velmaro::cli

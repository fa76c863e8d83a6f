#include "cli/RecordList.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace velmaro::cli {

RecordList::RecordList(std::vector<engine::FolderRecord> records)
{
    append(std::move(records));
}

void RecordList::append(std::vector<engine::FolderRecord>&& batch)
{
    if (batch.empty())
        return;
    // Moving the batch into the list keeps its records where they are.
    batches_.push_back(std::move(batch));
    const std::vector<engine::FolderRecord>& added = batches_.back();
    const Span span{added.data(), added.data() + added.size(), order_.size()};
    spans_.insert(spanAfter(span.begin), span);
    for (const engine::FolderRecord& record : added)
        order_.push_back(&record);
}

std::vector<RecordList::Span>::const_iterator RecordList::spanAfter(const engine::FolderRecord* address) const
{
    // std::less: pointers into different batches are ordered only by it.
    return std::upper_bound(spans_.begin(), spans_.end(), address,
                            [](const engine::FolderRecord* a, const Span& s) { return std::less<>()(a, s.begin); });
}

std::size_t RecordList::positionOf(const engine::FolderRecord* record) const
{
    auto after = spanAfter(record);
    if (after == spans_.begin())
        return size();
    const Span& span = *--after;
    if (!std::less<>()(record, span.end))
        return size();
    return span.first + std::size_t(record - span.begin);
}

}  // namespace velmaro::cli

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
    const auto at = std::upper_bound(spans_.begin(), spans_.end(), span.begin, [](auto* address, const Span& s) {
        return std::less<>()(address, s.begin);
    });
    spans_.insert(at, span);
    for (const engine::FolderRecord& record : added)
        order_.push_back(&record);
}

std::size_t RecordList::positionOf(const engine::FolderRecord* record) const
{
    const std::less<> below;
    if (lastSpan_ < spans_.size()) {
        const Span& last = spans_[lastSpan_];
        if (!below(record, last.begin) && below(record, last.end))
            return last.first + std::size_t(record - last.begin);
    }
    auto after = std::upper_bound(spans_.begin(), spans_.end(), record, [](auto* address, const Span& s) {
        return std::less<>()(address, s.begin);
    });
    if (after == spans_.begin())
        return size();
    const Span& span = *--after;
    if (!below(record, span.end))
        return size();
    lastSpan_ = std::size_t(after - spans_.begin());
    return span.first + std::size_t(record - span.begin);
}

}  // namespace velmaro::cli

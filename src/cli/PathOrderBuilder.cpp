#include "cli/PathOrderBuilder.h"

#include "cli/PathOrder.h"

#include <algorithm>

namespace velmaro::cli {

void PathOrderBuilder::grow(std::vector<uint32_t>& byIndex, engine::WalkIndex index)
{
    if (index >= byIndex.size())
        byIndex.resize(std::max<std::size_t>(std::size_t{index} + 1, 2 * byIndex.size()), kNone);
}

void PathOrderBuilder::add(const engine::FolderRecord& record)
{
    const auto position = uint32_t(arrived_.size());
    arrived_.push_back(Arrived{});
    if (broken_ || position == kNone || !link(record, position))
        broken_ = true;
}

// Files the record under its walk number and its parent's; false where the
// records cannot be one walk's.
bool PathOrderBuilder::link(const engine::FolderRecord& record, uint32_t position)
{
    const engine::WalkIndex index = record.index, parent = record.parent;
    if (index == engine::kNoWalkIndex)
        return false;
    grow(positionOf_, index);
    grow(lastSubfolder_, index);
    if (positionOf_[index] != kNone)
        return false;  // a number twice
    positionOf_[index] = position;
    Arrived& self = arrived_[position];
    self.key = PathOrder::nameKey(record.name);
    self.name = record.name;
    sortSubfolders(position, index);
    if (parent == engine::kNoWalkIndex) {
        const bool first = root_ == kNone;
        root_ = position;
        return first;
    }
    grow(positionOf_, parent);
    grow(lastSubfolder_, parent);
    if (positionOf_[parent] != kNone)
        return false;  // the folder came before this subfolder
    self.nextSibling = lastSubfolder_[parent];
    lastSubfolder_[parent] = position;
    return true;
}

// The subfolders of the folder that just arrived have all arrived before it.
void PathOrderBuilder::sortSubfolders(uint32_t position, engine::WalkIndex index)
{
    scratch_.clear();
    for (uint32_t at = lastSubfolder_[index]; at != kNone; at = arrived_[at].nextSibling)
        scratch_.push_back(at);
    std::sort(scratch_.begin(), scratch_.end(), [this](uint32_t a, uint32_t b) {
        const Arrived& x = arrived_[a];
        const Arrived& y = arrived_[b];
        return x.key != y.key ? x.key < y.key : PathOrder::nameLess(x.name, y.name);
    });
    arrived_[position].firstChild = uint32_t(sorted_.size());
    arrived_[position].childCount = uint32_t(scratch_.size());
    sorted_.insert(sorted_.end(), scratch_.begin(), scratch_.end());
}

std::vector<uint32_t> PathOrderBuilder::positions() const
{
    // Every record but the root is some folder's subfolder, or the records
    // hold a subfolder whose folder never arrived.
    if (broken_ || root_ == kNone || sorted_.size() + 1 != arrived_.size())
        return {};
    std::vector<uint32_t> order;
    order.reserve(arrived_.size());
    std::vector<uint32_t> stack{root_};
    while (!stack.empty()) {
        const uint32_t at = stack.back();
        stack.pop_back();
        order.push_back(at);
        const Arrived& folder = arrived_[at];
        const auto begin = sorted_.begin() + folder.firstChild;
        stack.insert(stack.end(), std::make_reverse_iterator(begin + folder.childCount),
                     std::make_reverse_iterator(begin));
    }
    return order;
}

}  // namespace velmaro::cli

#include "cli/PathOrder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string_view>

namespace velmaro::cli {

namespace {

using engine::FolderRecord;
using Index = uint32_t;
constexpr Index kNone = UINT32_MAX;

// Length of the parent's path within `path` (which ends in '/'), or 0 for
// a path without a parent ("/", or a path with a single '/').
std::size_t parentLength(std::string_view path)
{
    if (path.size() < 2)
        return 0;
    const std::size_t slash = path.rfind('/', path.size() - 2);
    return slash == std::string_view::npos ? 0 : slash + 1;
}

// Paths to record indexes: open addressing, linear probing.
class PathTable {
public:
    explicit PathTable(const std::vector<FolderRecord>& records)
        : records_(records)
    {
        std::size_t size = 16;
        while (size < 2 * records.size())
            size *= 2;
        slots_.assign(size, kNone);
        mask_ = size - 1;
    }

    // False when `index`'s path is in the table already.
    bool insert(Index index)
    {
        const std::string_view path = records_[index].path;
        for (std::size_t slot = std::hash<std::string_view>()(path) & mask_;; slot = (slot + 1) & mask_) {
            if (slots_[slot] == kNone) {
                slots_[slot] = index;
                return true;
            }
            if (records_[slots_[slot]].path == path)
                return false;
        }
    }

    Index find(std::string_view path) const
    {
        for (std::size_t slot = std::hash<std::string_view>()(path) & mask_;; slot = (slot + 1) & mask_) {
            const Index index = slots_[slot];
            if (index == kNone || records_[index].path == path)
                return index;
        }
    }

private:
    const std::vector<FolderRecord>& records_;
    std::vector<Index> slots_;
    std::size_t mask_ = 0;
};

std::vector<const FolderRecord*> sortedByPath(const std::vector<FolderRecord>& records)
{
    std::vector<const FolderRecord*> rows;
    rows.reserve(records.size());
    for (const FolderRecord& record : records)
        rows.push_back(&record);
    std::sort(rows.begin(), rows.end(), [](const FolderRecord* a, const FolderRecord* b) { return a->path < b->path; });
    return rows;
}

// The parent of every record by the paths themselves; kNone for the one
// root. Empty when the records do not form one tree.
std::vector<Index> parentsByPath(const std::vector<FolderRecord>& records)
{
    PathTable table(records);
    for (Index i = 0; i < records.size(); ++i) {
        if (!table.insert(i))
            return {};
    }
    std::vector<Index> parents(records.size(), kNone);
    std::size_t roots = 0;
    for (Index i = 0; i < records.size(); ++i) {
        const std::string_view path = records[i].path;
        const std::size_t length = parentLength(path);
        parents[i] = length == 0 ? kNone : table.find(path.substr(0, length));
        if (parents[i] == kNone && ++roots > 1)
            return {};
    }
    return parents;
}

// The same by the walk's numbers, which every record of a walk carries:
// no path is hashed. Empty when a record has no number, a number is given
// twice, a parent has no record, or there is not exactly one root.
std::vector<Index> parentsByWalk(const std::vector<FolderRecord>& records)
{
    engine::WalkIndex highest = 0;
    for (const FolderRecord& r : records) {
        if (r.index == engine::kNoWalkIndex)
            return {};
        highest = std::max(highest, r.index);
    }
    // A walk numbers the folders it found, rows or not; far more numbers
    // than records would only cost memory here.
    if (highest >= 4 * records.size() + 1024)
        return {};
    std::vector<Index> position(std::size_t{highest} + 1, kNone);
    for (Index i = 0; i < records.size(); ++i) {
        Index& at = position[records[i].index];
        if (at != kNone)
            return {};
        at = i;
    }
    std::vector<Index> parents(records.size(), kNone);
    std::size_t roots = 0;
    for (Index i = 0; i < records.size(); ++i) {
        const engine::WalkIndex parent = records[i].parent;
        if (parent == engine::kNoWalkIndex) {
            if (++roots > 1)
                return {};
            continue;
        }
        if (parent > highest || position[parent] == kNone)
            return {};
        parents[i] = position[parent];
    }
    return parents;
}

// The parent of every record; kNone for the one root. Empty when the
// records do not form one tree.
std::vector<Index> parentsOf(const std::vector<FolderRecord>& records)
{
    std::vector<Index> parents = parentsByWalk(records);
    return parents.empty() ? parentsByPath(records) : parents;
}

// The first eight bytes of `tail`, big-endian and zero-padded, so keys
// order as the bytes do. Two siblings' tails (a name and its '/') never
// hold a NUL and never start one another, so equal keys only say that the
// rest of the bytes decides.
uint64_t leadingBytes(std::string_view tail)
{
    unsigned char bytes[8] = {};
    std::memcpy(bytes, tail.data(), std::min<std::size_t>(sizeof bytes, tail.size()));
    uint64_t key = 0;
    for (unsigned char byte : bytes)
        key = key << 8 | byte;
    return key;
}

// Sorts one folder's children by the bytes after its path (`skip` bytes),
// reading each child's path once for its key rather than at every compare.
void sortSiblings(std::vector<Index>::iterator begin, std::vector<Index>::iterator end, std::size_t skip,
                  const std::vector<FolderRecord>& records, std::vector<std::pair<uint64_t, Index>>& keyed)
{
    if (end - begin < 2)
        return;
    const auto tail = [&](Index i) { return std::string_view(records[i].path).substr(skip); };
    keyed.clear();
    for (auto it = begin; it != end; ++it)
        keyed.emplace_back(leadingBytes(tail(*it)), *it);
    std::sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : tail(a.second) < tail(b.second);
    });
    for (const auto& [key, index] : keyed)
        *begin++ = index;
}

}  // namespace

std::vector<const FolderRecord*> PathOrder::of(const std::vector<FolderRecord>& records)
{
    if (records.empty() || records.size() >= kNone)
        return sortedByPath(records);
    const std::vector<Index> parents = parentsOf(records);
    if (parents.size() != records.size())
        return sortedByPath(records);
    // The children of record p are children[first[p] .. first[p + 1]).
    std::vector<Index> first(records.size() + 1, 0);
    Index root = kNone;
    for (Index i = 0; i < records.size(); ++i) {
        if (parents[i] == kNone)
            root = i;
        else
            ++first[parents[i] + 1];
    }
    for (std::size_t p = 0; p < records.size(); ++p)
        first[p + 1] += first[p];
    std::vector<Index> children(records.size() - 1);
    std::vector<Index> filled(first.begin(), first.end() - 1);
    for (Index i = 0; i < records.size(); ++i) {
        if (parents[i] != kNone)
            children[filled[parents[i]]++] = i;
    }
    // Pre-order, siblings by the bytes after their parent's path.
    std::vector<const FolderRecord*> rows;
    rows.reserve(records.size());
    std::vector<Index> stack{root};
    std::vector<std::pair<uint64_t, Index>> keyed;
    while (!stack.empty()) {
        const Index p = stack.back();
        stack.pop_back();
        rows.push_back(&records[p]);
        const auto begin = children.begin() + first[p];
        const auto end = children.begin() + first[p + 1];
        sortSiblings(begin, end, records[p].path.size(), records, keyed);
        stack.insert(stack.end(), std::make_reverse_iterator(end), std::make_reverse_iterator(begin));
    }
    return rows;
}

}  // namespace velmaro::cli

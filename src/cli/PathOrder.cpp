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
    explicit PathTable(const RecordList& records)
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
    const RecordList& records_;
    std::vector<Index> slots_;
    std::size_t mask_ = 0;
};

std::vector<const FolderRecord*> sortedByPath(const RecordList& records)
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
std::vector<Index> parentsByPath(const RecordList& records)
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

// What the order needs of each record, read in one pass over the records
// so that the rest works on these small arrays.
struct Facts {
    std::vector<engine::WalkIndex> index, parent;
    std::vector<uint32_t> length;      // of the path
    std::vector<uint32_t> nameLength;  // of the name
    std::vector<uint64_t> nameKey;     // PathOrder::nameKey()
};

// The same by the walk's numbers, which every record of a walk carries:
// no path is hashed. Empty when a record has no number, a number is given
// twice, a parent has no record, or there is not exactly one root.
std::vector<Index> parentsByWalk(const Facts& facts)
{
    const std::size_t count = facts.index.size();
    engine::WalkIndex highest = 0;
    for (const engine::WalkIndex index : facts.index) {
        if (index == engine::kNoWalkIndex)
            return {};
        highest = std::max(highest, index);
    }
    // A walk numbers the folders it found, rows or not; far more numbers
    // than records would only cost memory here.
    if (highest >= 4 * count + 1024)
        return {};
    std::vector<Index> position(std::size_t{highest} + 1, kNone);
    for (Index i = 0; i < count; ++i) {
        Index& at = position[facts.index[i]];
        if (at != kNone)
            return {};
        at = i;
    }
    std::vector<Index> parents(count, kNone);
    std::size_t roots = 0;
    for (Index i = 0; i < count; ++i) {
        const engine::WalkIndex parent = facts.parent[i];
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

Facts factsOf(const RecordList& records)
{
    Facts facts;
    for (auto* column : {&facts.index, &facts.parent, &facts.length, &facts.nameLength})
        column->resize(records.size());
    facts.nameKey.resize(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const FolderRecord& r = records[i];
        facts.index[i] = r.index;
        facts.parent[i] = r.parent;
        facts.length[i] = uint32_t(r.path.size());
        facts.nameLength[i] = uint32_t(r.name.size());
        facts.nameKey[i] = PathOrder::nameKey(r.name);
    }
    return facts;
}

// Every child's sort key: the first eight bytes after its parent's path.
// Where that part is as long as the record's name and a '/', it is that
// name (a walk's names are its paths' last components), whose key was read
// with the rest of the record: no path is read.
std::vector<uint64_t> siblingKeys(const RecordList& records, const Facts& facts,
                                  const std::vector<Index>& parents)
{
    std::vector<uint64_t> keys(records.size(), 0);
    for (Index i = 0; i < records.size(); ++i) {
        if (parents[i] == kNone || facts.length[parents[i]] > facts.length[i])
            continue;
        const std::size_t skip = facts.length[parents[i]];
        keys[i] = facts.length[i] - skip == facts.nameLength[i] + 1
                      ? facts.nameKey[i]
                      : leadingBytes(std::string_view(records[i].path).substr(skip));
    }
    return keys;
}

// Sorts one folder's children by the bytes after its path (`skip` bytes),
// or, for a walk's records (byWalk), by their names followed by '/', which
// are those bytes, without reading the paths. `keys` from siblingKeys(),
// or the names' keys for a walk.
void sortSiblings(std::vector<Index>::iterator begin, std::vector<Index>::iterator end, std::size_t skip,
                  bool byWalk, const RecordList& records, const std::vector<uint64_t>& keys)
{
    if (end - begin < 2)
        return;
    const auto tail = [&](Index i) { return std::string_view(records[i].path).substr(skip); };
    std::sort(begin, end, [&](Index a, Index b) {
        if (keys[a] != keys[b])
            return keys[a] < keys[b];
        return byWalk ? PathOrder::nameLess(records[a].name, records[b].name) : tail(a) < tail(b);
    });
}

}  // namespace

uint64_t PathOrder::nameKey(std::string_view name)
{
    unsigned char bytes[8] = {};
    const std::size_t n = std::min<std::size_t>(sizeof bytes, name.size());
    std::memcpy(bytes, name.data(), n);
    if (n < sizeof bytes)
        bytes[n] = '/';
    return leadingBytes(std::string_view(reinterpret_cast<const char*>(bytes), sizeof bytes));
}

bool PathOrder::nameLess(std::string_view a, std::string_view b)
{
    const std::size_t common = std::min(a.size(), b.size());
    if (const int order = std::memcmp(a.data(), b.data(), common); order != 0 || a.size() == b.size())
        return order < 0;
    // One name starts the other: the shorter one goes on with '/'.
    return a.size() < b.size() ? '/' < static_cast<unsigned char>(b[common])
                               : static_cast<unsigned char>(a[common]) < '/';
}

std::vector<const FolderRecord*> PathOrder::of(const RecordList& records)
{
    if (records.empty() || records.size() >= kNone)
        return sortedByPath(records);
    Facts facts = factsOf(records);
    // A walk's numbers tell the tree and its names the order of siblings:
    // no path is read, so a walk's records need none but the root's.
    std::vector<Index> parents = parentsByWalk(facts);
    const bool byWalk = !parents.empty();
    if (!byWalk)
        parents = parentsByPath(records);
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
    const std::vector<uint64_t> keys = byWalk ? std::move(facts.nameKey) : siblingKeys(records, facts, parents);
    std::vector<Index> stack{root};
    while (!stack.empty()) {
        const Index p = stack.back();
        stack.pop_back();
        rows.push_back(&records[p]);
        const auto begin = children.begin() + first[p];
        const auto end = children.begin() + first[p + 1];
        sortSiblings(begin, end, facts.length[p], byWalk, records, keys);
        stack.insert(stack.end(), std::make_reverse_iterator(end), std::make_reverse_iterator(begin));
    }
    return rows;
}

}  // namespace velmaro::cli

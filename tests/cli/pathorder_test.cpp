// PathOrder builds the path order from the tree; it must equal a sort of
// every path, byte by byte, also for names with bytes below and above '/'
// and names that start like their siblings, also in their first eight
// bytes.

#include "cli/PathOrder.h"
#include "cli/PathOrderBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

namespace {

using velmaro::cli::PathOrder;
using velmaro::engine::FolderRecord;

FolderRecord record(const std::string& path)
{
    FolderRecord r;
    r.path = path;
    return r;
}

std::vector<std::string> pathsOf(const std::vector<const FolderRecord*>& rows)
{
    std::vector<std::string> paths;
    for (const FolderRecord* r : rows)
        paths.push_back(r->path);
    return paths;
}

// PathOrder::of the records, handed over in batches of up to 7 as a walk
// hands them over; the paths in the order given.
std::vector<std::string> pathOrderOf(const std::vector<FolderRecord>& records)
{
    velmaro::cli::RecordList list;
    for (std::size_t i = 0; i < records.size(); i += 7)
        list.append(std::vector<FolderRecord>(records.begin() + std::ptrdiff_t(i),
                                              records.begin() + std::ptrdiff_t(std::min(i + 7, records.size()))));
    return pathsOf(PathOrder::of(list));
}

// The same for a walk asked for no paths: every record but the root's has
// an empty path; the original paths in the order given.
std::vector<std::string> pathOrderWithoutPaths(std::vector<FolderRecord> records)
{
    std::vector<std::string> original;
    for (std::size_t i = 0; i < records.size(); ++i) {
        original.push_back(records[i].path);
        records[i].id.ino = i;
        if (records[i].parent != velmaro::engine::kNoWalkIndex)
            records[i].path.clear();
    }
    velmaro::cli::RecordList list(std::move(records));
    std::vector<std::string> paths;
    for (const FolderRecord* r : PathOrder::of(list))
        paths.push_back(original[r->id.ino]);
    return paths;
}

// The paths in the order PathOrderBuilder gives for the records added in
// their order; empty where it gives none.
std::vector<std::string> builtOrderOf(const std::vector<FolderRecord>& records)
{
    velmaro::cli::PathOrderBuilder builder;
    for (const FolderRecord& r : records)
        builder.add(r);
    std::vector<std::string> paths;
    for (const uint32_t at : builder.positions())
        paths.push_back(records[at].path);
    return paths;
}

std::vector<std::string> sortedPaths(const std::vector<FolderRecord>& records)
{
    std::vector<std::string> paths;
    for (const FolderRecord& r : records)
        paths.push_back(r.path);
    std::sort(paths.begin(), paths.end());
    return paths;
}

// Numbers and names the records as a walk does: the root 0, the others in
// a random order, each with its parent's number.
void numberAsAWalk(std::vector<FolderRecord>& records, unsigned seed)
{
    std::vector<velmaro::engine::WalkIndex> numbers(records.size());
    for (std::size_t i = 0; i < numbers.size(); ++i)
        numbers[i] = velmaro::engine::WalkIndex(i);
    std::shuffle(numbers.begin(), numbers.end(), std::mt19937(seed));
    std::map<std::string, velmaro::engine::WalkIndex> byPath;
    for (std::size_t i = 0; i < records.size(); ++i) {
        records[i].index = records[i].path.size() <= 1 || records[i].path == "/srv/daten/" ? 0 : numbers[i] + 1;
        byPath[records[i].path] = records[i].index;
    }
    for (FolderRecord& r : records) {
        const std::size_t slash = r.path.rfind('/', r.path.size() - 2);
        if (r.path.size() > 1)
            r.name = r.path.substr(slash + 1, r.path.size() - slash - 2);
        const auto parent = byPath.find(r.path.substr(0, slash + 1));
        r.parent = r.index == 0 || parent == byPath.end() ? velmaro::engine::kNoWalkIndex : parent->second;
    }
}

// A random tree below `root` whose names mix '-', ' ', '.', '0' (below and
// above '/'), prefixes of each other and bytes above 0x7f; children are
// listed before their parents, as the walk hands them over.
std::vector<FolderRecord> randomTree(const std::string& root, int folders, unsigned seed)
{
    // Long parts make siblings that agree in their first eight bytes.
    static const char* const parts[] = {"a", "a-", "a b", "a.", "a0", "ab", "b", "\xc3\x9c", "\xff", "-", "0",
                                        "abcdefg", "abcdefgh", "abcdefgh\xff"};
    std::mt19937 random(seed);
    std::vector<std::string> paths{root};
    for (int i = 1; i < folders; ++i) {
        const std::string& parent = paths[random() % paths.size()];
        std::string name = parts[random() % std::size(parts)];
        if (random() % 2)
            name += parts[random() % std::size(parts)];
        const std::string path = parent + name + "/";
        if (std::find(paths.begin(), paths.end(), path) == paths.end())
            paths.push_back(path);
    }
    std::shuffle(paths.begin() + 1, paths.end(), random);
    std::stable_sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
        return std::count(a.begin(), a.end(), '/') > std::count(b.begin(), b.end(), '/');
    });
    std::vector<FolderRecord> records;
    for (const std::string& p : paths)
        records.push_back(record(p));
    return records;
}

TEST(PathOrder, TreesEqualASortOfEveryPath)
{
    for (unsigned seed = 1; seed <= 20; ++seed) {
        for (const std::string root : {"/", "/srv/daten/"}) {
            std::vector<FolderRecord> records = randomTree(root, 400, seed);
            ASSERT_EQ(pathOrderOf(records), sortedPaths(records)) << "seed " << seed << " root " << root;
            numberAsAWalk(records, seed);
            ASSERT_EQ(pathOrderOf(records), sortedPaths(records)) << "numbered, seed " << seed;
            ASSERT_EQ(pathOrderWithoutPaths(records), sortedPaths(records)) << "without paths, seed " << seed;
            ASSERT_EQ(builtOrderOf(records), sortedPaths(records)) << "built on arrival, seed " << seed;
        }
    }
}

TEST(PathOrder, RecordsThatAreNoTreeAreSortedAllTheSame)
{
    // The middle folder has no record: its child has no parent to hang on.
    const std::vector<FolderRecord> gap{record("/r/a/b/c/"), record("/r/a-/"), record("/r/a/"), record("/r/"),
                                        record("/r/x/y/")};
    EXPECT_EQ(pathOrderOf(gap), sortedPaths(gap));
    const std::vector<FolderRecord> twice{record("/r/b/"), record("/r/a/"), record("/r/b/"), record("/r/")};
    EXPECT_EQ(pathOrderOf(twice), sortedPaths(twice));
    // Numbered, the same: a parent number without a record, a number twice.
    std::vector<FolderRecord> numbered{record("/r/a/b/c/"), record("/r/a/"), record("/r/")};
    numbered[0].index = 3, numbered[0].parent = 2;  // "/r/a/b/" (2) has no record
    numbered[1].index = 1, numbered[1].parent = 0;
    numbered[2].index = 0;
    EXPECT_EQ(pathOrderOf(numbered), sortedPaths(numbered));
    numbered[0].index = 1, numbered[0].parent = 0;  // 1 twice
    EXPECT_EQ(pathOrderOf(numbered), sortedPaths(numbered));
    // Built on arrival, such records give no order at all.
    numbered[0].index = 3, numbered[0].parent = 2;
    EXPECT_TRUE(builtOrderOf(numbered).empty()) << "a parent without record";
    numbered[0].index = 1, numbered[0].parent = 0;
    EXPECT_TRUE(builtOrderOf(numbered).empty()) << "a number twice";
    numbered[0].index = 2, numbered[0].parent = 1;
    EXPECT_EQ(builtOrderOf(numbered), sortedPaths(numbered));
    std::swap(numbered[0], numbered[1]);
    EXPECT_TRUE(builtOrderOf(numbered).empty()) << "a folder before its subfolder";
    std::swap(numbered[0], numbered[1]);
    numbered[1].parent = velmaro::engine::kNoWalkIndex;
    EXPECT_TRUE(builtOrderOf(numbered).empty()) << "two roots";
    EXPECT_TRUE(pathOrderOf({}).empty());
    const std::vector<FolderRecord> one{record("/")};
    EXPECT_EQ(pathOrderOf(one), sortedPaths(one));
}

}  // namespace

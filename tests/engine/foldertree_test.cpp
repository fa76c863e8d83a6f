// The walk's in-memory tree: what its records carry of each folder's
// identity and times, including a subfolder on another device (as inside a
// btrfs subvolume), which no test machine's file system gives on demand.

#include "engine/FolderTree.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

using namespace velmaro::engine;

TEST(FolderTree, RecordsKeepDeviceInodeAndTimesOfEachFolder)
{
    FolderTree tree("/daten");
    const ObjectStamp born{ObjectStamp::Kind::Birth, ObjectStamp::pack(1600000000, 5)};
    const ObjectStamp changed{ObjectStamp::Kind::Change, ObjectStamp::pack(1700000002, 7)};
    FolderTree::Times root{FileTime{1600000000, 5}, FileTime{1700000000, 6}, 10, 41, born};
    FolderTree::Times sub{std::nullopt, FileTime{1700000001, 999999999}, 11, 42, changed};
    FolderTree::Times deeper{FileTime{1, 0}, FileTime{2, 0}, 12, 42, {ObjectStamp::Kind::Birth, 1000000000}};
    const auto r = tree.addRoot(root);
    const auto s = tree.addChild(r, "sub", sub);
    const auto d = tree.addChild(s, std::string(255, 'x'), deeper);
    std::vector<FolderRecord> out;
    for (const auto node : {d, s, r})
        tree.finishListing(node, FolderTree::Listing{}, out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].path, "/daten/sub/" + std::string(255, 'x') + "/");
    EXPECT_EQ(std::make_pair(out[0].id.dev, out[0].id.ino), std::make_pair(uint64_t(42), uint64_t(12)));
    EXPECT_EQ(std::make_pair(out[1].id.dev, out[1].id.ino), std::make_pair(uint64_t(42), uint64_t(11)));
    EXPECT_EQ(std::make_pair(out[2].id.dev, out[2].id.ino), std::make_pair(uint64_t(41), uint64_t(10)));
    EXPECT_FALSE(out[1].created.has_value());
    EXPECT_EQ(out[1].accessed.nanoseconds, 999999999u);
    ASSERT_TRUE(out[2].created.has_value());
    EXPECT_EQ(out[2].created->seconds, 1600000000);
    EXPECT_EQ(out[2].created->nanoseconds, 5u);
    // The identity's stamp: the birth time, else the change time (no birth time shown).
    EXPECT_EQ(out[2].id.stamp, born);
    EXPECT_EQ(out[1].id.stamp, changed);
    EXPECT_EQ(out[0].id.stamp, deeper.stamp);
}

// Records give the tree by index alone: a reader that knows only indexes and
// names (as the folder list does) rebuilds every record's path, whatever the
// order folders are listed in, with unreadable and vanished folders between.
TEST(FolderTree, RecordsNameEachFolderOnceBeforeItIsAParent)
{
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::srand(seed);
        FolderTree tree("/w");
        std::vector<FolderTree::Index> toList{tree.addRoot({})};
        std::vector<FolderRecord> out;
        std::size_t found = 1;
        while (!toList.empty()) {
            std::swap(toList[std::size_t(std::rand()) % toList.size()], toList.back());
            const FolderTree::Index node = toList.back();
            toList.pop_back();
            if (node != 0 && std::rand() % 10 == 0) {
                tree.drop(node, std::rand() % 2 ? FolderTree::Drop::Vanished : FolderTree::Drop::Unreadable, 13,
                          out);
                continue;
            }
            for (int c = found < 3000 ? std::rand() % 5 : 0; c > 0; --c, ++found)
                toList.push_back(tree.addChild(node, "n" + std::to_string(std::rand() % 1000), {}));
            tree.finishListing(node, {}, out);
        }
        std::map<WalkIndex, std::string> known;  // index -> path, from what the records said
        const auto pathBelow = [&](WalkIndex parent, const std::string& name) {
            if (parent == kNoWalkIndex)
                return name;
            EXPECT_TRUE(known.count(parent)) << "parent " << parent << " used before it was named";
            return known[parent] + name + "/";
        };
        for (const FolderRecord& record : out) {
            for (const WalkFolder& above : record.newAncestors) {
                EXPECT_FALSE(known.count(above.index)) << "named twice: " << above.index;
                known[above.index] = pathBelow(above.parent, above.name);
            }
            const std::string path =
                known.count(record.index) ? known[record.index] : pathBelow(record.parent, record.root ? "/w/" : record.name);
            ASSERT_EQ(path, record.path) << "seed " << seed;
            known[record.index] = path;
        }
        ASSERT_EQ(out.back().index, 0u);
    }
}

// The walk's in-memory tree: what its records carry of each folder's
// identity and times, including a subfolder on another device (as inside a
// btrfs subvolume), which no test machine's file system gives on demand.

#include "engine/FolderTree.h"

#include <gtest/gtest.h>

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

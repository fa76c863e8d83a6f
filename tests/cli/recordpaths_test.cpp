// RecordPaths gives the records of a walk asked for no paths the paths the
// walk would have given: parent's path, name, '/'.

#include "cli/RecordPaths.h"

#include <gtest/gtest.h>

namespace {

using velmaro::engine::FolderRecord;
using velmaro::engine::kNoWalkIndex;
using velmaro::engine::WalkIndex;

FolderRecord folder(WalkIndex index, WalkIndex parent, const std::string& name, const std::string& path = {})
{
    FolderRecord r;
    r.index = index;
    r.parent = parent;
    r.name = name;
    r.path = path;
    return r;
}

TEST(RecordPaths, EachPathFromItsParentsInAWalksOrder)
{
    // Post-order, as a walk hands them over; number 4 was dropped (no record),
    // so its subfolder 6 keeps no path.
    std::vector<FolderRecord> records{folder(3, 1, "c\tx"), folder(6, 4, "lost"), folder(1, 0, "a"),
                                      folder(5, 2, "\xff"), folder(2, 0, "b"), folder(0, kNoWalkIndex, "r", "/r/")};
    velmaro::cli::RecordList list(std::move(records));
    EXPECT_EQ(velmaro::cli::RecordPaths::fill(list), 1u);
    std::vector<std::string> paths;
    for (const FolderRecord& r : list)
        paths.push_back(r.path);
    EXPECT_EQ(paths, (std::vector<std::string>{"/r/a/c\tx/", "", "/r/a/", "/r/b/\xff/", "/r/b/", "/r/"}));
    EXPECT_EQ(velmaro::cli::RecordPaths::fill(list), 1u) << "a filled path is kept";
}

}  // namespace

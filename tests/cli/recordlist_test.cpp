// The scan's record list: records keep their order and their place across
// batches, and each is found at its position by address alone.

#include "cli/RecordList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using velmaro::cli::RecordList;
using velmaro::engine::FolderRecord;

std::vector<FolderRecord> batchOf(int first, int count)
{
    std::vector<FolderRecord> batch(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        batch[std::size_t(i)].path = "/r/" + std::to_string(first + i) + "/";
    return batch;
}

TEST(RecordList, RecordsKeepOrderPlaceAndPositionAcrossBatches)
{
    RecordList list;
    std::vector<const FolderRecord*> seen;
    int next = 0;
    for (int count : {3, 0, 1, 40, 7, 256, 2}) {
        list.append(batchOf(next, count));
        next += count;
        for (std::size_t i = seen.size(); i < list.size(); ++i)
            seen.push_back(&list[i]);
    }
    ASSERT_EQ(list.size(), std::size_t(next));
    std::size_t position = 0;
    for (const FolderRecord& record : list) {
        EXPECT_EQ(record.path, "/r/" + std::to_string(position) + "/");
        EXPECT_EQ(&record, seen[position]) << "a record moved when the list grew";
        EXPECT_EQ(list.positionOf(&record), position);
        ++position;
    }
    const FolderRecord stranger;
    EXPECT_EQ(list.positionOf(&stranger), list.size());
    EXPECT_EQ(list.positionOf(seen.back() + 1), list.size());
}

}  // namespace

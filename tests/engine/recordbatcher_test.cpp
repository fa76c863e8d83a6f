// Record batches: in order, full ones at their size, and one sent before it
// is full keeps no spare room (the command line keeps every batch it gets).

#include "engine/RecordBatcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

using velmaro::engine::FolderRecord;
using velmaro::engine::RecordBatcher;

std::vector<FolderRecord> records(int first, int count)
{
    std::vector<FolderRecord> out(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        out[std::size_t(i)].path = "/r/" + std::to_string(first + i) + "/";
    return out;
}

TEST(RecordBatcher, BatchesKeepTheOrderAndNoSpareRoom)
{
    std::vector<std::vector<FolderRecord>> sent;
    RecordBatcher batcher(
        256, [&](std::vector<FolderRecord>&& batch) { sent.push_back(std::move(batch)); },
        std::chrono::milliseconds(0));
    batcher.add(records(0, 300));
    batcher.flushIfDue();  // the full batch and, its time being up, the rest
    batcher.add(records(300, 3));
    batcher.flushAll();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].size(), 256u);
    EXPECT_EQ(sent[1].size(), 44u);
    EXPECT_EQ(sent[2].size(), 3u);
    int next = 0;
    for (const auto& batch : sent) {
        EXPECT_LE(batch.capacity(), 2 * batch.size()) << "a batch of " << batch.size() << " kept spare room";
        for (const FolderRecord& r : batch)
            EXPECT_EQ(r.path, "/r/" + std::to_string(next++) + "/");
    }
    EXPECT_EQ(next, 303);
}

// flushIfDue is called after every folder and looks at two hints before it
// takes a lock: a full batch goes at once, the partial one only when due.
TEST(RecordBatcher, FullBatchesGoAtOnceThePartialOneOnlyWhenDue)
{
    std::vector<std::size_t> sizes;
    RecordBatcher batcher(
        256, [&](std::vector<FolderRecord>&& batch) { sizes.push_back(batch.size()); }, std::chrono::hours(1));
    batcher.add(records(0, 100));
    batcher.flushIfDue();
    EXPECT_TRUE(sizes.empty()) << "a partial batch went before its time";
    batcher.add(records(100, 200));
    batcher.flushIfDue();
    EXPECT_EQ(sizes, std::vector<std::size_t>{256});
    batcher.flushIfDue();
    EXPECT_EQ(sizes.size(), 1u);
    batcher.add(records(300, 300));
    batcher.flushIfDue();  // the hint is set again after a send
    EXPECT_EQ(sizes, (std::vector<std::size_t>{256, 256}));
    batcher.flushAll();
    EXPECT_EQ(sizes, (std::vector<std::size_t>{256, 256, 88}));
}

}  // namespace

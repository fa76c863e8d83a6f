// The walk's to-do list: each worker goes deep in its own stack, an idle
// one takes the largest piece of work left (the oldest item of the fullest
// stack), and the list ends once nothing is queued and nobody is busy.

#include "engine/WorkQueue.h"

#include <gtest/gtest.h>

#include <future>
#include <vector>

namespace {

using velmaro::engine::WorkQueue;

TEST(WorkQueue, OwnStackDeepFirstIdleWorkersTakeTheOldestOfTheFullest)
{
    WorkQueue<int> queue(3);
    queue.push({1, 2, 3}, 0);
    queue.push({10, 11}, 2);
    int item = 0;
    ASSERT_TRUE(queue.pop(item, 0));
    EXPECT_EQ(item, 3);  // its own newest
    ASSERT_TRUE(queue.pop(item, 1));
    EXPECT_EQ(item, 1);  // nothing of its own: the oldest of the fullest stack
    ASSERT_TRUE(queue.pop(item, 1));
    EXPECT_EQ(item, 10);  // now stack 2 is the fullest
    queue.push({20}, 1);
    ASSERT_TRUE(queue.pop(item, 1));
    EXPECT_EQ(item, 20);
    ASSERT_TRUE(queue.pop(item, 2));
    EXPECT_EQ(item, 11);
    for (int i = 0; i < 5; ++i)
        queue.taskDone();

    // The last item is taken; a worker that finds nothing waits while the
    // taker is busy (it may still find more) and ends once it is done.
    ASSERT_TRUE(queue.pop(item, 0));
    EXPECT_EQ(item, 2);
    auto idle = std::async(std::launch::async, [&] {
        int none = 0;
        return queue.pop(none, 1);
    });
    EXPECT_EQ(idle.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    queue.taskDone();
    EXPECT_FALSE(idle.get());
    EXPECT_FALSE(queue.pop(item, 2));
}

TEST(WorkQueue, DrainDropsWhatIsQueuedAndEndsTheList)
{
    WorkQueue<int> queue(2);
    queue.push({1, 2, 3}, 0);
    int item = 0;
    ASSERT_TRUE(queue.pop(item, 1));
    queue.drain();
    queue.taskDone();
    EXPECT_FALSE(queue.pop(item, 0));
}

}  // namespace

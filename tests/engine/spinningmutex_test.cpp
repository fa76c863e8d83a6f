// The walk's tree lock: two threads that take it at a high rate never are
// inside at once, and try_lock fails while another thread holds it.

#include "engine/SpinningMutex.h"

#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <thread>

namespace {

using velmaro::engine::SpinningMutex;

TEST(SpinningMutex, ExcludesUnderContentionAndTryLockFailsWhileHeld)
{
    SpinningMutex mutex;
    long counter = 0;  // a plain read-modify-write: lost updates show a gap
    const auto add = [&] {
        for (int i = 0; i < 200000; ++i) {
            std::lock_guard lock(mutex);
            counter = counter + 1;
        }
    };
    std::thread other(add);
    add();
    other.join();
    EXPECT_EQ(counter, 400000);

    std::unique_lock held(mutex);
    EXPECT_FALSE(std::async(std::launch::async, [&] { return mutex.try_lock(); }).get());
    held.unlock();
    EXPECT_TRUE(std::async(std::launch::async, [&] {
                    const bool got = mutex.try_lock();
                    if (got)
                        mutex.unlock();
                    return got;
                }).get());
}

}  // namespace

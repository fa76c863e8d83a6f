// How many workers a walk runs: one per core while they keep the cores
// busy, all of them while they wait on the drive (or on anything), and the
// held ones are never left waiting for good.

#include "engine/WorkerPacer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>

namespace {

using namespace std::chrono_literals;
using velmaro::engine::WorkerPacer;

// A gauge the test moves by hand: each look sees `step` more wall time.
struct FakeGauge {
    std::mutex mutex;
    WorkerPacer::Reading now;

    WorkerPacer::Gauge gauge()
    {
        return [this] {
            std::lock_guard lock(mutex);
            return now;
        };
    }
    // 20 ms pass in which the process used `cores` cores and read `bytes`.
    WorkerPacer::Reading advance(double cores, uint64_t bytes = 0)
    {
        std::lock_guard lock(mutex);
        now.wall += 20ms;
        now.cpu += std::chrono::nanoseconds(static_cast<long long>(cores * 20e6));
        now.readBytes += bytes;
        return now;
    }
};

TEST(WorkerPacer, LetsAllRunOnlyWhileTheCoresWaitAndGoesBackAfterCalmLooks)
{
    FakeGauge fake;
    WorkerPacer pacer(8, 2, fake.gauge());
    EXPECT_EQ(pacer.allowed(), 2u);

    pacer.look(fake.advance(1.6, 1 << 20));  // a warm cache that misses now and then
    EXPECT_EQ(pacer.allowed(), 2u);
    pacer.look(fake.advance(1.2, 1 << 20));  // the cores wait on the drive
    EXPECT_EQ(pacer.allowed(), 8u);

    // All eight keep the cores busy while the drive is read: still waiting.
    for (int i = 0; i < 4; ++i)
        pacer.look(fake.advance(2.0, 1 << 20));
    EXPECT_EQ(pacer.allowed(), 8u);
    // All eight busy on two cores without reads is calm: measured against
    // the cores, not against the workers let in.
    pacer.look(fake.advance(2.0));
    pacer.look(fake.advance(1.9));
    EXPECT_EQ(pacer.allowed(), 8u);
    pacer.look(fake.advance(0.8));  // no reads, but the cores mostly idle
    pacer.look(fake.advance(2.0));
    pacer.look(fake.advance(2.0));
    EXPECT_EQ(pacer.allowed(), 8u);
    pacer.look(fake.advance(2.0));
    EXPECT_EQ(pacer.allowed(), 2u);
}

TEST(WorkerPacer, HeldWorkersGetInWhenTheRunningOnesHangAndAtRelease)
{
    FakeGauge fake;
    WorkerPacer pacer(8, 2, fake.gauge());
    pacer.admit(0);
    pacer.admit(1);  // one per core runs at once

    // Nobody ticks and no processor time passes (the running workers hang):
    // the first held worker looks by itself and lets everyone in.
    std::atomic<bool> stop{false};
    std::thread clock([&] {
        while (!stop) {
            {
                std::lock_guard lock(fake.mutex);
                fake.now.wall += 20ms;
            }
            std::this_thread::sleep_for(5ms);
        }
    });
    auto third = std::async(std::launch::async, [&] { pacer.admit(2); });
    auto last = std::async(std::launch::async, [&] { pacer.admit(7); });
    EXPECT_EQ(third.wait_for(5s), std::future_status::ready);
    EXPECT_EQ(last.wait_for(5s), std::future_status::ready);
    stop = true;
    clock.join();

    // Busy cores keep the others out until the walk ends.
    WorkerPacer busy(8, 2, fake.gauge());
    auto held = std::async(std::launch::async, [&] { busy.admit(5); });
    for (int i = 0; i < 5; ++i)
        busy.look(fake.advance(2.0));
    EXPECT_EQ(held.wait_for(100ms), std::future_status::timeout);
    busy.release();
    EXPECT_EQ(held.wait_for(5s), std::future_status::ready);
}

}  // namespace

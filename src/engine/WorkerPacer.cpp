#include "engine/WorkerPacer.h"

#include "engine/FdGuard.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sched.h>
#include <thread>
#include <time.h>
#include <unistd.h>

namespace velmaro::engine {

namespace {

using Clock = std::chrono::steady_clock;

Clock::rep ticksFromNow(std::chrono::nanoseconds after)
{
    return (Clock::now() + std::chrono::duration_cast<Clock::duration>(after)).time_since_epoch().count();
}

// read_bytes of /proc/self/io, read through `fd` (kept open); 0 without.
uint64_t readBytes(int fd)
{
    if (fd < 0)
        return 0;
    char text[512];
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    if (n <= 0)
        return 0;
    text[n] = '\0';
    const char* field = std::strstr(text, "\nread_bytes: ");
    return field ? std::strtoull(field + std::strlen("\nread_bytes: "), nullptr, 10) : 0;
}

std::chrono::nanoseconds processCpu()
{
    timespec t{};
    if (::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t) != 0)
        return std::chrono::nanoseconds(0);
    return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
}

}  // namespace

WorkerPacer::WorkerPacer(unsigned workers, unsigned cores, Gauge gauge)
    : workers_(std::max(workers, 1u))
    , base_(std::clamp(cores, 1u, workers_))
    , gauge_(std::move(gauge))
    , allowed_(base_)
{
    if (base_ < workers_) {
        last_ = gauge_();
        nextLook_ = ticksFromNow(kInterval);
    }
}

void WorkerPacer::admit(unsigned index)
{
    if (index < base_)
        return;
    std::unique_lock lock(mutex_);
    while (!released_ && index >= allowed_) {
        if (index != allowed_) {
            changed_.wait(lock);
            continue;
        }
        // The first held worker keeps looking, in case the running ones hang.
        changed_.wait_for(lock, kInterval);
        lock.unlock();
        lookIfDue();
        lock.lock();
    }
}

void WorkerPacer::tick()
{
    if (base_ == workers_ ||
        Clock::now().time_since_epoch().count() < nextLook_.load(std::memory_order_relaxed))
        return;
    lookIfDue();
}

void WorkerPacer::release()
{
    {
        std::lock_guard lock(mutex_);
        released_ = true;
    }
    changed_.notify_all();
}

unsigned WorkerPacer::allowed() const
{
    std::lock_guard lock(mutex_);
    return released_ ? workers_ : allowed_;
}

void WorkerPacer::look(const Reading& now)
{
    std::unique_lock lock(mutex_);
    const unsigned before = allowed_;
    decide(now);
    const bool raised = allowed_ > before;
    lock.unlock();
    if (raised)
        changed_.notify_all();
}

void WorkerPacer::lookIfDue()
{
    {
        std::unique_lock lock(mutex_, std::try_to_lock);
        if (!lock.owns_lock() || Clock::now().time_since_epoch().count() < nextLook_.load())
            return;
        nextLook_ = ticksFromNow(kInterval);
    }
    look(gauge_());
}

void WorkerPacer::decide(const Reading& now)
{
    const auto wall = now.wall - last_.wall;
    if (wall <= std::chrono::nanoseconds(0))
        return;
    const double capacity = double(wall.count()) * std::min(allowed_, base_);
    const double busy = double((now.cpu - last_.cpu).count()) / capacity;
    const bool reading = now.readBytes >= last_.readBytes + kReadBytes;
    last_ = now;
    // Once all run they keep the cores busier, so then reading alone says
    // that they still wait.
    const bool waiting =
        allowed_ > base_ ? busy < 0.5 || reading : busy < 0.5 || (reading && busy < kBusyWhileReading);
    if (waiting) {
        calmLooks_ = 0;
        allowed_ = workers_;
    } else if (allowed_ > base_ && ++calmLooks_ >= kCalmLooks) {
        calmLooks_ = 0;
        allowed_ = base_;
    }
}

WorkerPacer::Gauge WorkerPacer::systemGauge()
{
    auto io = std::make_shared<FdGuard>(::open("/proc/self/io", O_RDONLY | O_CLOEXEC));
    return [io] { return Reading{Clock::now().time_since_epoch(), processCpu(), readBytes(io->get())}; };
}

unsigned WorkerPacer::cores()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return unsigned(CPU_COUNT(&set));
    return std::max(std::thread::hardware_concurrency(), 1u);
}

}  // namespace velmaro::engine

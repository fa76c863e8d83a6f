#pragma once
// How many of a walk's workers run at once.
//
// From a warm cache a walk is bound by the processor: workers beyond the
// cores only take turns on them and cost switches and lock waits. From a
// cold cache, a slow drive or a network each worker mostly waits, and more
// workers keep more reads in flight. So a walk starts with as many running
// workers as there are cores and lets all of them run while the running
// ones leave the cores idle: while the processor time used is under half of
// what the cores could give, or under kBusyWhileReading of it while the
// process reads at least kReadBytes from storage between two looks (a warm
// cache still misses a block now and then). All of them keep the cores
// busier, so once all run it takes kCalmLooks looks in a row without such
// reads and with the cores at least half busy to go back to one worker per
// core.
//
// A look is taken every kInterval by whoever comes by first: a running
// worker after a folder (tick()), or the first held worker, which waits no
// longer than that. So a walk whose running workers all hang in a system
// call still lets the others in. A look compares the Gauge's reading with
// the last one.
//
// Thread safety: every member may be called from any thread.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

namespace velmaro::engine {

class WorkerPacer {
public:
    struct Reading {
        std::chrono::nanoseconds wall{0};  // a steady clock
        std::chrono::nanoseconds cpu{0};   // processor time of the whole process
        uint64_t readBytes = 0;            // read from storage by the process so far
    };
    using Gauge = std::function<Reading()>;

    static constexpr std::chrono::milliseconds kInterval{20};
    static constexpr double kBusyWhileReading = 0.75;
    static constexpr uint64_t kReadBytes = 64 * 1024;
    static constexpr unsigned kCalmLooks = 3;

    // `workers` in all, `cores` of them running at first (at least one).
    // Takes the first reading.
    WorkerPacer(unsigned workers, unsigned cores, Gauge gauge = systemGauge());

    // Returns once worker `index` (0 .. workers - 1) may run: at once for
    // the first `cores`, else when the others are let in or release().
    void admit(unsigned index);
    // Called by a running worker after each folder: takes a look when due.
    // Costs a clock read when none is.
    void tick();
    // Lets every worker run from now on (the walk ends or is cancelled).
    void release();
    // How many workers may run now.
    unsigned allowed() const;

    // Takes a look with `now` as the reading, whether due or not.
    void look(const Reading& now);

    // The process's own figures: steady clock, CLOCK_PROCESS_CPUTIME_ID and
    // read_bytes of /proc/self/io (0 where the system does not count it).
    static Gauge systemGauge();
    // Processors this process may run on (at least 1).
    static unsigned cores();

private:
    void lookIfDue();
    void decide(const Reading& now);

    const unsigned workers_;
    const unsigned base_;
    const Gauge gauge_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    Reading last_;
    unsigned allowed_;
    unsigned calmLooks_ = 0;
    bool released_ = false;
    std::atomic<std::chrono::steady_clock::rep> nextLook_{0};
};

}  // namespace velmaro::engine

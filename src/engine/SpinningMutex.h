#pragma once
// A mutex for short critical sections that several threads enter at a high
// rate: a thread that finds it held spins a little (the holder is likely
// running on another core and about to leave) before it sleeps in the
// kernel. Sleeping costs a system call on both sides and leaves the core
// idle until the waiter is woken. Meets the Lockable requirements, so it
// works with std::lock_guard and std::unique_lock (not with
// std::condition_variable, which needs std::mutex).

#include <mutex>

namespace velmaro::engine {

class SpinningMutex {
public:
    void lock();
    bool try_lock() { return mutex_.try_lock(); }
    void unlock() { mutex_.unlock(); }

private:
    std::mutex mutex_;  // not copyable, so neither is this
};

}  // namespace velmaro::engine

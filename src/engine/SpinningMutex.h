#pragma once
// A mutex for short critical sections that several threads enter at a high
// rate: a thread that finds it held spins a little (the holder is likely
// running on another core and about to leave) before it sleeps in the
// kernel. Sleeping costs a system call on both sides and leaves the core
// idle until the waiter is woken. Meets the Lockable requirements, so it
// works with std::lock_guard and std::unique_lock (not with
// std::condition_variable, which needs std::mutex).

#include <pthread.h>

namespace velmaro::engine {

class SpinningMutex {
public:
    SpinningMutex();
    ~SpinningMutex();
    SpinningMutex(const SpinningMutex&) = delete;
    SpinningMutex& operator=(const SpinningMutex&) = delete;

    void lock();
    bool try_lock();
    void unlock();

private:
    pthread_mutex_t mutex_;
};

}  // namespace velmaro::engine

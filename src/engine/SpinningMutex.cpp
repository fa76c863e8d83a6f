#include "engine/SpinningMutex.h"

namespace velmaro::engine {

namespace {

// About 10 to 40 microseconds of pause instructions: longer than the
// critical sections this is meant for, far shorter than a time slice.
constexpr int kSpins = 200;

inline void spinPause()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

}  // namespace

SpinningMutex::SpinningMutex()
{
    pthread_mutex_init(&mutex_, nullptr);
}

SpinningMutex::~SpinningMutex()
{
    pthread_mutex_destroy(&mutex_);
}

void SpinningMutex::lock()
{
    for (int i = 0; i < kSpins; ++i) {
        if (pthread_mutex_trylock(&mutex_) == 0)
            return;
        spinPause();
    }
    pthread_mutex_lock(&mutex_);
}

bool SpinningMutex::try_lock()
{
    return pthread_mutex_trylock(&mutex_) == 0;
}

void SpinningMutex::unlock()
{
    pthread_mutex_unlock(&mutex_);
}

}  // namespace velmaro::engine

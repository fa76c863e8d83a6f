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

void SpinningMutex::lock()
{
    for (int i = 0; i < kSpins; ++i) {
        if (mutex_.try_lock())
            return;
        spinPause();
    }
    mutex_.lock();
}

}  // namespace velmaro::engine

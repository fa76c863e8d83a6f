#include "engine/AllocatorArenas.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace velmaro::engine {

void useFewAllocatorArenas()
{
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, 2);
#endif
}

}  // namespace velmaro::engine

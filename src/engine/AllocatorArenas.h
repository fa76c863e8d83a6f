#pragma once
// The allocator's arenas for a program that scans with many worker threads.
//
// glibc's malloc gives threads that allocate at the same time arenas of
// their own (up to eight per core). The scan's workers allocate the folder
// records that the window or the command line keeps or frees on another
// thread, so each worker's arena ends up holding pages of its own: on a small
// tree that fixed cost outweighs the records themselves. Two arenas keep it
// small; the per-thread caches in front of them keep the workers from
// waiting for each other (measured on a 10,000-folder scan: the same time,
// about 1 MB less at the peak).

namespace velmaro::engine {

// Limits the process to two malloc arenas. Call first thing in main(),
// before any thread is started; a no-op where the C library is not glibc.
void useFewAllocatorArenas();

}  // namespace velmaro::engine

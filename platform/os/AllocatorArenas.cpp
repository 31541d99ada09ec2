#include "platform/os/AllocatorArenas.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace platform {

void limitAllocatorArenas()
{
#if defined(__GLIBC__)
    // Two, not one: the search's second core does not wait for the first's
    // allocations. Measured: no slower loading or searching than with a
    // pool per thread.
    mallopt(M_ARENA_MAX, 2);
    // Blocks of a few megabytes (a list of a million rows, the grid's
    // rows) straight from the system and back to it when freed, every
    // time: by default the allocator, once such a block is freed, keeps
    // the next ones of that size in its pools, where they leave holes.
    mallopt(M_MMAP_THRESHOLD, 2 * 1024 * 1024);
#endif
}

} // namespace platform

#include "platform/free_memory.h"

#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void returnFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

void returnLargeBlocksAtOnce() {
#if defined(__GLIBC__)
    constexpr int largeBlock = 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, largeBlock);
#endif
}

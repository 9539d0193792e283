// Freed memory back to the system.
#include "app/FreedMemory.h"

#include <cstdlib> // tells which C library this is

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void ReturnFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

void HandLargeBlocksBackAtOnce()
{
#if defined(__GLIBC__)
    constexpr int LargeBlock = 4 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, LargeBlock);
    // Fixing the threshold fixes the heap's trim threshold too, at a size
    // that would hand back and fault in again the room of every load.
    mallopt(M_TRIM_THRESHOLD, 2 * LargeBlock);
#endif
}

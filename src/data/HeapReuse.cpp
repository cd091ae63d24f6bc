#include "data/HeapReuse.h"

#include <cstdlib>  // tells which C library this is (__GLIBC__)
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kavra {

void keepFreedMemoryForReuse()
{
#if defined(__GLIBC__)
    // Setting one threshold stops glibc from moving the other by itself, so both are set.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
    // One heap for every thread. The loader's threads encode the columns of
    // their chunks, which the calling thread then joins into the table's; with
    // a heap per thread, what the threads free could not hold the joined
    // columns, and a load would take twice the compressed table at its peak.
    mallopt(M_ARENA_MAX, 1);
#endif
}

}  // namespace kavra

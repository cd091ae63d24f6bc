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
#endif
}

}  // namespace kavra

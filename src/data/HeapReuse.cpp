#include "data/HeapReuse.h"

#include "data/HugePages.h"

#include <algorithm>
#include <vector>

#include <cstdlib>  // tells which C library this is (__GLIBC__)
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kavra {
namespace {
bool kept = false;  // keepFreedMemoryForReuse was called
}

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
    kept = true;
#endif
}

void adviseHugeHeap(size_t bytes)
{
#if defined(__GLIBC__)
    // Pieces below the threshold at which blocks are mapped apart, so they come
    // from the heap, and in all below the heap's trim threshold, so freeing them
    // keeps them. Nothing is written to them: the pages are the readers' to fault
    // in, side by side, as they fill them.
    constexpr size_t kPiece = size_t(16) << 20, kMost = size_t(64) << 20;
    if (!kept || bytes < kPiece / 4)
        return;
    bytes = std::min(bytes, kMost);
    std::vector<void *> pieces;
    for (size_t done = 0; done < bytes; done += kPiece) {
        void *piece = std::malloc(kPiece);
        if (!piece)
            break;
        adviseHugePages(piece, kPiece);
        pieces.push_back(piece);
    }
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it)
        std::free(*it);
#else
    (void)bytes;
#endif
}

}  // namespace kavra

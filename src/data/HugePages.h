#pragma once
// Large tables and file buffers are touched page by page as they are filled; with
// 4 KiB pages that is tens of thousands of page faults for one file, a good part
// of a load. Asking for huge pages on such blocks cuts that by hundreds (where the
// system offers them; elsewhere the advice is ignored).

#include <cstddef>
#include <cstdint>
#include <sys/mman.h>

namespace kavra {

inline void adviseHugePages(void *block, size_t bytes)
{
#ifdef MADV_HUGEPAGE
    constexpr uintptr_t kHuge = uintptr_t(2) << 20;
    if (bytes < 2 * kHuge)
        return;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(block) + kHuge - 1) & ~(kHuge - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(block) + bytes) & ~(kHuge - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)block;
    (void)bytes;
#endif
}

}  // namespace kavra

#pragma once
// Keeping freed memory for the next use. Each redraw of a long chart makes its
// point buffers anew (megabytes a series) and frees the old ones; by default
// glibc hands such blocks back to the system at once, and the next redraw pays
// for every page again (tens of milliseconds for 16 series of 200000 points).
// Called once at start-up by each program.

#include <cstddef>

namespace kavra {

// Blocks up to 32 MiB come from the heap and up to 128 MiB of freed heap stay
// with the program; larger blocks (whole value tables) still go back to the
// system as soon as they are freed. Every thread takes its memory from the one
// heap. Does nothing where the C library has no such settings.
void keepFreedMemoryForReuse();

// Grows the heap by about bytes (at most 64 MiB) and asks for huge pages on
// it, leaving it free: the many small blocks a load then takes (its compressed
// columns) are faulted in 2 MiB at a time, where the system gives huge pages,
// instead of 4 KiB at a time. Nothing is written, so the faults fall to the
// threads that fill the blocks, in parallel. Does nothing unless
// keepFreedMemoryForReuse was called (freed memory would go back at once).
void adviseHugeHeap(size_t bytes);

}  // namespace kavra

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

// Pages in about bytes (at most 64 MiB) of the heap at once, in huge pages where
// the system gives them, and leaves them free in the heap: the many small
// blocks a load then takes (its compressed columns) find their memory paged in
// already instead of faulting it in 4 KiB at a time. Does nothing unless
// keepFreedMemoryForReuse was called (freed memory would go back at once).
void pageInHeap(size_t bytes);

}  // namespace kavra

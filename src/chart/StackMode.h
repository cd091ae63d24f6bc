#pragma once
// How an item series stands among the others: drawn on its own (none or
// overlapping) or stacked on the series before it.

namespace kavra {

enum StackMode { StackNone = 0, StackOverlap = 1, Stacked = 2 };

}  // namespace kavra

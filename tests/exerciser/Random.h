#pragma once
// The exerciser's one source of chance: every choice it makes comes from here,
// so that a seed replays a run exactly.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

class Random {
public:
    explicit Random(uint64_t seed) : engine_(seed) {}

    // 0 to n - 1 (0 when n is not above 0).
    int below(int n) { return n > 0 ? int(engine_() % uint64_t(n)) : 0; }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T> const T &pick(const std::vector<T> &from) { return from[size_t(below(int(from.size())))]; }

private:
    std::mt19937_64 engine_;
};

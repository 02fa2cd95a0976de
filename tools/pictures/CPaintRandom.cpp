#include "CPaintRandom.h"

uint32_t CPaintRandom::Next() {
    // splitmix64, folded to 32 bits
    state += 0x9E3779B97F4A7C15ull;
    uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return uint32_t(z >> 32);
}

float CPaintRandom::Unit() { return float(Next() >> 8) * (1.0f / 16777216.0f); }

float CPaintRandom::Range(float lo, float hi) { return lo + (hi - lo) * Unit(); }

int CPaintRandom::Below(int n) { return int(Next() % uint32_t(n)); }

uint32_t CPaintRandom::Hash(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = seed * 0x27D4EB2Du ^ uint32_t(x) * 0x85EBCA6Bu ^ uint32_t(y) * 0xC2B2AE35u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

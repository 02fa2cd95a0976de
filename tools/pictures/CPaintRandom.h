#ifndef PONDQUEST_TOOLS_CPAINTRANDOM_H
#define PONDQUEST_TOOLS_CPAINTRANDOM_H

#include <cstdint>

// Small seeded generator for placing shapes. Each picture owns its own, so
// the pictures do not depend on each other or on anything else in the process.
class CPaintRandom {
public:
    uint64_t state;

    explicit CPaintRandom(uint64_t seed) : state(seed) {}

    uint32_t Next();
    float Unit();                     // [0, 1)
    float Range(float lo, float hi);  // [lo, hi)
    int Below(int n);                 // 0 .. n-1, n > 0

    // Stateless hash of a lattice point, for noise.
    static uint32_t Hash(int32_t x, int32_t y, uint32_t seed);
};

#endif

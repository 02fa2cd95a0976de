#ifndef PONDQUEST_CRANDOM_H
#define PONDQUEST_CRANDOM_H

#include <cstdint>

// The one process-wide random generator, the classic linear congruential rand:
// state starts at 1, state = state * 214013 + 2531011, result (state >> 16) & 0x7FFF.
// Never seeded by the game; the maze and the cougars follow from its sequence.
class CRandom {
public:
    static int Rand();
    // For tests: start the sequence again (1 is the state at program start).
    static void Reset(uint32_t state = 1);
    static uint32_t State();
};

#endif

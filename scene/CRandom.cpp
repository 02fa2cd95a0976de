#include "scene/CRandom.h"

namespace {
// Unsigned arithmetic wraps modulo 2^32, which is exactly the generator's modulus.
uint32_t randomState = 1;
}  // namespace

int CRandom::Rand() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFFu);
}

void CRandom::Reset(uint32_t state) { randomState = state; }

uint32_t CRandom::State() { return randomState; }

#ifndef PONDQUEST_TOOLS_CNOISE_H
#define PONDQUEST_TOOLS_CNOISE_H

#include <cstdint>

// Seeded gradient noise whose lattice wraps, so a picture sampled over one
// period tiles without a seam. Coordinates u, v run over 0..1 for one tile.
class CNoise {
public:
    uint32_t seed;

    explicit CNoise(uint32_t s) : seed(s) {}

    // Gradient noise with `cellsX` x `cellsY` lattice cells per tile; about -1..1.
    float Gradient(float u, float v, int cellsX, int cellsY, uint32_t salt = 0) const;

    // Sum of octaves, each with twice the cells and `gain` times the weight of
    // the one before; normalised to about -1..1.
    float Fbm(float u, float v, int cellsX, int cellsY, int octaves, float gain = 0.5f,
              uint32_t salt = 0) const;

    // Per-pixel white noise in 0..1 (seamless because it depends only on the pixel).
    float Grain(int x, int y, uint32_t salt = 0) const;
};

#endif

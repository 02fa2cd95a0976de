#include "CNoise.h"

#include <cmath>

#include "CPaintRandom.h"

namespace {

int WrapIndex(int i, int n) {
    i %= n;
    return i < 0 ? i + n : i;
}

float Fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

const float kDirections[16][2] = {
    {1.0f, 0.0f},  {0.92388f, 0.38268f},   {0.70711f, 0.70711f},   {0.38268f, 0.92388f},
    {0.0f, 1.0f},  {-0.38268f, 0.92388f},  {-0.70711f, 0.70711f},  {-0.92388f, 0.38268f},
    {-1.0f, 0.0f}, {-0.92388f, -0.38268f}, {-0.70711f, -0.70711f}, {-0.38268f, -0.92388f},
    {0.0f, -1.0f}, {0.38268f, -0.92388f},  {0.70711f, -0.70711f},  {0.92388f, -0.38268f}};

}  // namespace

float CNoise::Gradient(float u, float v, int cellsX, int cellsY, uint32_t salt) const {
    const float x = u * float(cellsX), y = v * float(cellsY);
    const float fx0 = std::floor(x), fy0 = std::floor(y);
    const int x0 = int(fx0), y0 = int(fy0);
    const float dx = x - fx0, dy = y - fy0;
    const uint32_t s = seed ^ (salt * 0x9E3779B9u);
    float corner[4];
    for (int k = 0; k < 4; ++k) {
        const int ix = x0 + (k & 1), iy = y0 + (k >> 1);
        const uint32_t h = CPaintRandom::Hash(WrapIndex(ix, cellsX), WrapIndex(iy, cellsY), s);
        const float* g = kDirections[h & 15];
        corner[k] = g[0] * (dx - float(k & 1)) + g[1] * (dy - float(k >> 1));
    }
    const float sx = Fade(dx), sy = Fade(dy);
    const float top = corner[0] + (corner[1] - corner[0]) * sx;
    const float bottom = corner[2] + (corner[3] - corner[2]) * sx;
    return (top + (bottom - top) * sy) * 1.414f;
}

float CNoise::Fbm(float u, float v, int cellsX, int cellsY, int octaves, float gain, uint32_t salt) const {
    float sum = 0.0f, weight = 1.0f, total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * Gradient(u, v, cellsX << o, cellsY << o, salt * 101u + uint32_t(o + 1));
        total += weight;
        weight *= gain;
    }
    return total > 0.0f ? sum / total * 1.6f : 0.0f;
}

float CNoise::Grain(int x, int y, uint32_t salt) const {
    return float(CPaintRandom::Hash(x, y, seed ^ (salt * 0x632BE5ABu)) >> 8) * (1.0f / 16777216.0f);
}

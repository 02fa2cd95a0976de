#include "CWallPictures.h"

#include <cmath>

#include "CNoise.h"
#include "CPaintRandom.h"
#include "PaintMath.h"

using namespace paint;

CPicture CWallPictures::Plants() {
    const int factor = 4, size = 64 * factor;
    CPicture pic(size, size);
    CNoise noise(0x9A47);
    CPaintRandom rnd(25);
    // A maze wall shows one tile over about 8.3 x 3.75 units, so the tile is
    // stretched sideways about 2.2 times; leaves are painted that much narrower.
    const float squeeze = 2.2f;
    pic.Fill([&](float u, float v) {
        const float n = noise.Fbm(u, v, 4, 4, 3, 0.5f);
        return CColour(0.03f, 0.12f + 0.05f * n, 0.04f);
    });
    const CColour greens[] = {CColour(0.16f, 0.42f, 0.10f), CColour(0.22f, 0.52f, 0.14f),
                              CColour(0.30f, 0.58f, 0.16f), CColour(0.12f, 0.36f, 0.12f),
                              CColour(0.36f, 0.62f, 0.20f)};
    const int leaves = 150;
    for (int i = 0; i < leaves; ++i) {
        const float depth = float(i) / float(leaves);  // later leaves lie in front
        const float cx = rnd.Range(0.0f, float(size)), cy = rnd.Range(0.0f, float(size));
        const float angle = rnd.Range(0.0f, kTau);
        const float length = rnd.Range(55.0f, 95.0f);
        const float halfWidth = length * rnd.Range(0.22f, 0.32f);
        const CColour colour = greens[rnd.Below(5)] * (0.55f + 0.55f * depth);
        const float ca = std::cos(angle), sa = std::sin(angle);
        const float bend = rnd.Range(-0.25f, 0.25f);
        pic.Stamp(cx, cy, length, true, [&](float dx, float dy) -> SStroke {
            // Leaf frame in "unsqueezed" units: a along the midrib from the stem.
            const float wx = dx * squeeze, wy = dy;
            const float a = wx * ca + wy * sa;
            float b = -wx * sa + wy * ca;
            if (a < 0.0f || a > length) return {0.0f, CColour()};
            const float t = a / length;
            b -= bend * length * t * t;  // curled tip
            const float w =
                halfWidth * std::pow(std::fmax(0.0f, std::sin(3.14159f * t)), 0.8f) * (1.0f - 0.2f * t);
            const float edge = std::fabs(b) - w;
            const float alpha = Clamp01(0.5f - edge / squeeze);
            if (alpha <= 0.0f) return {0.0f, CColour()};
            const float across = w > 0.0f ? std::fmin(1.0f, std::fabs(b) / w) : 1.0f;
            float shade = 1.0f - 0.45f * across * across;         // rounded leaf, dark rim
            if (std::fabs(b) < 2.5f && t < 0.9f) shade += 0.35f;  // midrib
            const float vein = std::fabs(std::sin((a - std::fabs(b) * 0.8f) * 0.25f));
            if (vein > 0.95f && across < 0.85f) shade += 0.12f;
            shade *= (b > 0.0f) ? 1.0f : 0.82f;  // light from one side
            return {alpha, colour * shade};
        });
    }
    return pic.Downsampled(factor);
}

CPicture CWallPictures::Twigs() {
    const int factor = 4, size = 128 * factor;
    CPicture pic(size, size);
    CNoise noise(0x7E57);
    CPaintRandom rnd(0x2E57);
    // A nest side shows one tile over 2.5 x 1.5 units: paint twigs narrower to match.
    const float squeeze = 1.67f;
    pic.Fill([&](float u, float v) {
        const float n = noise.Fbm(u, v, 6, 6, 3, 0.5f);
        return CColour(0.10f, 0.06f, 0.03f) * (1.0f + 0.4f * n);
    });
    const CColour browns[] = {CColour(0.45f, 0.30f, 0.16f), CColour(0.56f, 0.40f, 0.22f),
                              CColour(0.36f, 0.23f, 0.12f), CColour(0.62f, 0.48f, 0.28f),
                              CColour(0.50f, 0.36f, 0.20f)};
    const int twigs = 260;
    for (int i = 0; i < twigs; ++i) {
        const float cx = rnd.Range(0.0f, float(size)), cy = rnd.Range(0.0f, float(size));
        // Mostly woven round the nest (horizontal), some across.
        const float angle = (rnd.Unit() < 0.8f ? rnd.Range(-0.35f, 0.35f) : rnd.Range(0.9f, 2.2f));
        const float halfLength = rnd.Range(70.0f, 200.0f);
        const float radius = rnd.Range(6.0f, 13.0f);
        const float sag = rnd.Range(-0.3f, 0.3f) * radius;
        const CColour colour = browns[rnd.Below(5)];
        const uint32_t salt = uint32_t(i);
        const float ca = std::cos(angle), sa = std::sin(angle);
        const float reachA = halfLength + radius * 2.5f;
        const float reachB = radius * 2.3f + std::fabs(sag) * 3.0f;
        const float rx = (reachA * std::fabs(ca) + reachB * std::fabs(sa)) / squeeze;
        const float ry = reachA * std::fabs(sa) + reachB * std::fabs(ca);
        pic.Stamp(cx, cy, rx, ry, true, [&](float dx, float dy) -> SStroke {
            const float wx = dx * squeeze, wy = dy;
            const float a = wx * ca + wy * sa;
            float b = -wx * sa + wy * ca;
            const float hl = halfLength;
            if (std::fabs(a) > hl + radius * 2.5f) return {0.0f, CColour()};
            const float t = a / hl;
            b -= sag * (1.0f - t * t) * 3.0f;  // gentle bow
            const float taper = radius * (1.0f - 0.35f * std::fabs(t));
            const float along = std::fabs(a) - hl;
            const float dist = along > 0.0f ? std::sqrt(along * along + b * b) : std::fabs(b);
            // Soft shadow first, then the twig's own round body.
            if (dist > taper) {
                const float shadow = Clamp01(1.0f - (dist - taper) / (taper * 1.2f));
                return {shadow * 0.45f, CColour(0.03f, 0.02f, 0.01f)};
            }
            const float across = b / taper;
            float shade = std::sqrt(Clamp01(1.0f - across * across)) * 0.75f + 0.25f;
            shade += 0.25f * Smooth(-0.2f, -0.7f, across) * (1.0f - std::fabs(across));  // sheen
            const float bark = noise.Gradient(a / 60.0f + float(salt) * 0.37f, across * 0.3f, 64, 64, salt);
            shade *= 1.0f + 0.18f * bark;
            return {Clamp01(taper - dist + 0.5f), colour * shade};
        });
    }
    return pic.Downsampled(factor);
}

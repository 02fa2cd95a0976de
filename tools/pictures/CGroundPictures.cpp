#include "CGroundPictures.h"

#include <cmath>

#include "CNoise.h"
#include "PaintMath.h"

using namespace paint;

CPicture CGroundPictures::Sand() {
    const int size = 256;
    CPicture pic(size, size);
    CNoise noise(0x5A4D);
    const CColour base(0.60f, 0.48f, 0.33f);
    const CColour light(0.80f, 0.68f, 0.50f);
    const CColour dark(0.38f, 0.29f, 0.19f);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            const float patches = noise.Fbm(u, v, 3, 3, 4, 0.55f);
            // Wind ripples: a whole number of waves per tile keeps the edges
            // matching; periodic noise bends them.
            const float warp = noise.Fbm(u, v, 4, 4, 3, 0.5f, 1) * 0.9f;
            const float phase = kTau * (2.0f * u + 6.0f * v) + warp * 3.0f;
            const float ripple = std::sin(phase);
            const float crest = Smooth(0.55f, 0.95f, ripple);
            const float trough = Smooth(-0.4f, -0.95f, ripple);
            const float grain = noise.Grain(x, y) - 0.5f;
            const float fine = noise.Gradient(u, v, 64, 64, 7);
            CColour c = CColour::Mix(base, patches > 0 ? light : dark, std::fabs(patches) * 0.45f);
            c = CColour::Mix(c, light, crest * 0.25f);
            c = CColour::Mix(c, dark, trough * 0.22f);
            c = c * (1.0f + 0.16f * grain + 0.07f * fine);
            // Scattered darker and lighter grains: shell bits and small stones.
            const float speck = noise.Grain(x, y, 3);
            if (speck > 0.985f)
                c = CColour::Mix(c, CColour(0.28f, 0.21f, 0.14f), 0.6f);
            else if (speck < 0.012f)
                c = CColour::Mix(c, CColour(0.92f, 0.86f, 0.74f), 0.6f);
            pic.At(x, y) = c;
        }
    }
    return pic;
}

namespace {

CColour FireRamp(float t) {
    t = Clamp01(t);
    const CColour stops[] = {CColour(0.16f, 0.01f, 0.00f), CColour(0.55f, 0.05f, 0.00f),
                             CColour(0.88f, 0.22f, 0.02f), CColour(1.00f, 0.52f, 0.05f),
                             CColour(1.00f, 0.80f, 0.20f), CColour(1.00f, 0.97f, 0.70f)};
    const float pos = t * 5.0f;
    int i = int(pos);
    if (i >= 5) return stops[5];
    return CColour::Mix(stops[i], stops[i + 1], pos - float(i));
}

}  // namespace

CPicture CGroundPictures::Fire() {
    const int size = 256;
    CPicture pic(size, size);
    CNoise noise(0xF1AE);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            // Tongues: noise with more cells across than down, pushed
            // sideways by a second noise so the flames lean and lick.
            const float sway = noise.Fbm(u, v, 3, 2, 3, 0.5f, 1);
            const float wu = u + 0.06f * sway;
            const float wv = v + 0.10f * noise.Fbm(u, v, 2, 4, 2, 0.5f, 2);
            const float tongues = noise.Fbm(wu, wv, 8, 3, 4, 0.55f);
            const float ridged = 1.0f - std::fabs(noise.Fbm(wu, wv, 6, 2, 3, 0.5f, 3));
            const float flicker = noise.Gradient(u, v, 24, 12, 11);
            float heat = 0.45f + 0.35f * tongues + 0.35f * (ridged * ridged - 0.5f) + 0.08f * flicker;
            heat += 0.05f * (noise.Grain(x, y) - 0.5f);
            pic.At(x, y) = FireRamp(heat);
        }
    }
    return pic;
}

CPicture CGroundPictures::Water() {
    const int size = 256;
    CPicture pic(size, size);
    CNoise noise(0x3A7E);
    const CColour deep(0.04f, 0.17f, 0.40f);
    const CColour mid(0.12f, 0.36f, 0.66f);
    const CColour foam(0.62f, 0.82f, 0.98f);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            const float warpA = noise.Fbm(u, v, 3, 3, 3, 0.5f);
            const float warpB = noise.Fbm(u, v, 3, 3, 3, 0.5f, 1);
            // Crossing wave trains with whole wave counts per tile.
            const float w1 = std::sin(kTau * (3.0f * u + 1.0f * v) + 2.5f * warpA);
            const float w2 = std::sin(kTau * (-1.0f * u + 4.0f * v) + 2.5f * warpB);
            const float w3 = std::sin(kTau * (5.0f * u - 2.0f * v) + 3.0f * warpA * warpB);
            const float height = (w1 + w2 + 0.6f * w3) / 2.6f;
            // Bright caustic threads where the two warped fields cross zero.
            const float c1 = 1.0f - std::fabs(noise.Fbm(u + 0.1f * warpB, v, 5, 5, 2, 0.5f, 2));
            const float c2 = 1.0f - std::fabs(noise.Fbm(u, v + 0.1f * warpA, 5, 5, 2, 0.5f, 3));
            const float caustic = std::pow(Clamp01(c1), 12.0f) + std::pow(Clamp01(c2), 12.0f);
            CColour c = CColour::Mix(deep, mid, Smooth(-0.9f, 0.9f, height));
            c = CColour::Mix(c, foam, Clamp01(caustic * 0.55f + Smooth(0.75f, 1.0f, height) * 0.25f));
            pic.At(x, y) = c;
        }
    }
    return pic;
}

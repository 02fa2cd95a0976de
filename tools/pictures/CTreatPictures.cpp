#include "CTreatPictures.h"

#include <cmath>

#include "CNoise.h"
#include "CPaintRandom.h"
#include "PaintMath.h"

using namespace paint;

namespace {

void Straw(CPicture& pic, CPaintRandom& rnd, int count, float scale, float brightness) {
    const CColour straws[] = {CColour(0.85f, 0.72f, 0.40f), CColour(0.75f, 0.60f, 0.30f),
                              CColour(0.92f, 0.82f, 0.52f), CColour(0.62f, 0.48f, 0.24f)};
    for (int i = 0; i < count; ++i) {
        const float cx = rnd.Range(0.0f, float(pic.width)), cy = rnd.Range(0.0f, float(pic.height));
        const float angle = rnd.Range(0.0f, kTau);
        const float half = rnd.Range(30.0f, 80.0f) * scale;
        const float width = rnd.Range(2.0f, 4.5f) * scale;
        const float ax = cx - std::cos(angle) * half, ay = cy - std::sin(angle) * half;
        const float bx = cx + std::cos(angle) * half, by = cy + std::sin(angle) * half;
        const CColour c = straws[rnd.Below(4)] * brightness;
        const float reach = width * 2.5f + 2.0f;
        pic.Stamp(cx, cy, std::fabs(bx - ax) * 0.5f + reach, std::fabs(by - ay) * 0.5f + reach, false,
                  [&](float dx, float dy) -> SStroke {
                      const float d = SegmentDistance(cx + dx, cy + dy, ax, ay, bx, by);
                      if (d > width) {
                          return {Clamp01(1.0f - (d - width) / (width * 1.5f)) * 0.35f,
                                  CColour(0.1f, 0.06f, 0.02f)};
                      }
                      const float across = d / width;
                      return {Clamp01(width - d + 0.5f), c * (1.05f - 0.4f * across * across)};
                  });
    }
}

// An egg seen from above: light from the upper left, soft shadow to the lower right.
void Egg(CPicture& pic, CNoise& noise, float cx, float cy, float rx, float ry, float angle) {
    const float ca = std::cos(angle), sa = std::sin(angle);
    const float r = std::fmax(rx, ry);
    pic.Stamp(cx + r * 0.15f, cy + r * 0.2f, r * 1.4f, false, [&](float dx, float dy) -> SStroke {
        const float x = (dx * ca + dy * sa), y = (-dx * sa + dy * ca);
        const float d = EllipseDistance(x, y, rx * 1.08f, ry * 1.08f);
        return {Clamp01(1.0f - d / (r * 0.25f)) * 0.55f, CColour(0.08f, 0.05f, 0.02f)};
    });
    pic.Stamp(cx, cy, r + 2.0f, false, [&](float dx, float dy) -> SStroke {
        const float x = dx * ca + dy * sa, y = -dx * sa + dy * ca;
        const float d = EllipseDistance(x, y, rx, ry);
        if (d > 1.0f) return {0.0f, CColour()};
        const float nx = x / rx, ny = y / ry;
        const float nz = std::sqrt(Clamp01(1.0f - nx * nx - ny * ny));
        const float light = Clamp01(0.35f + 0.75f * (nz * 0.7f - (dx / r) * 0.3f - (dy / r) * 0.35f));
        const float speck = noise.Gradient((cx + dx) / 512.0f, (cy + dy) / 512.0f, 96, 96, 9);
        CColour c = CColour(0.97f, 0.94f, 0.84f) * (0.55f + 0.5f * light);
        if (speck > 0.55f) c = CColour::Mix(c, CColour(0.62f, 0.50f, 0.36f), 0.5f);
        const float shine = Smooth(0.85f, 0.98f, light);
        c = CColour::Mix(c, CColour(1, 1, 1), shine * 0.6f);
        return {Cover(d), c};
    });
}

}  // namespace

CPicture CTreatPictures::EggsInStraw() {
    const int factor = 2, size = 256 * factor;
    const float s = float(factor);
    CPicture pic(size, size);
    CNoise noise(0xE66);
    CPaintRandom rnd(0xE66E);
    pic.Fill([&](float u, float v) {
        const float n = noise.Fbm(u, v, 4, 4, 3, 0.5f);
        return CColour(0.22f, 0.15f, 0.07f) * (1.0f + 0.3f * n);
    });
    Straw(pic, rnd, 700, s, 0.75f);
    Straw(pic, rnd, 350, s, 1.0f);
    // Darker rim, as if looking into the hollow of the nest.
    pic.Stamp(size * 0.5f, size * 0.5f, size * 0.75f, false, [&](float dx, float dy) -> SStroke {
        const float r = std::sqrt(dx * dx + dy * dy) / (size * 0.5f);
        return {Smooth(0.55f, 1.15f, r) * 0.65f, CColour(0.10f, 0.06f, 0.02f)};
    });
    Egg(pic, noise, 78 * s, 92 * s, 40 * s, 52 * s, 0.5f);
    Egg(pic, noise, 182 * s, 86 * s, 38 * s, 50 * s, -0.4f);
    Egg(pic, noise, 88 * s, 188 * s, 36 * s, 48 * s, -0.9f);
    // The hatching egg: a shell split along a zigzag with a dark gap and a
    // glimpse of yellow down inside.
    const float ex = 168 * s, ey = 174 * s, rx = 44 * s, ry = 56 * s, ang = 0.3f;
    Egg(pic, noise, ex, ey, rx, ry, ang);
    const float ca = std::cos(ang), sa = std::sin(ang);
    pic.Stamp(ex, ey, ry + 2.0f, false, [&](float dx, float dy) -> SStroke {
        const float x = dx * ca + dy * sa, y = -dx * sa + dy * ca;
        if (EllipseDistance(x, y, rx, ry) > 0.0f) return {0.0f, CColour()};
        // Zigzag line across the egg, a little above the middle.
        const float zig = std::fabs(std::fmod(x / (9.0f * s) + 100.5f, 2.0f) - 1.0f) * 2.0f - 1.0f;
        const float crackY = -6.0f * s + zig * 7.0f * s;
        const float d = std::fabs(y - crackY);
        const float gap = 3.5f * s + 2.0f * s * std::cos(x / (14.0f * s));
        if (d < gap) {
            const float fluff = Smooth(gap, 0.0f, d);
            return {Cover(d - gap),
                    CColour::Mix(CColour(0.18f, 0.12f, 0.05f), CColour(1.0f, 0.85f, 0.25f), fluff * 0.8f)};
        }
        if (d < gap + 2.0f * s) return {0.5f, CColour(0.55f, 0.50f, 0.42f)};
        return {0.0f, CColour()};
    });
    // Small hair cracks running off the main split.
    for (int i = 0; i < 5; ++i) {
        const float px = rnd.Range(-30.0f, 30.0f) * s, py = -6.0f * s;
        const float len = rnd.Range(8.0f, 16.0f) * s;
        const float dir = (i % 2 ? 1.0f : -1.0f);
        const float ax = ex + px * ca - py * sa, ay = ey + px * sa + py * ca;
        const float bx = ax + (rnd.Range(-0.5f, 0.5f) * ca - dir * sa) * len;
        const float by = ay + (rnd.Range(-0.5f, 0.5f) * sa + dir * ca) * len;
        pic.Stamp((ax + bx) * 0.5f, (ay + by) * 0.5f, len, false, [&](float dx, float dy) -> SStroke {
            const float qx = (ax + bx) * 0.5f + dx, qy = (ay + by) * 0.5f + dy;
            const float d = SegmentDistance(qx, qy, ax, ay, bx, by) - 0.8f * s;
            return {Cover(d) * 0.8f, CColour(0.30f, 0.24f, 0.18f)};
        });
    }
    return pic.Downsampled(factor);
}

CPicture CTreatPictures::Sweet() {
    const int size = 256;
    CPicture pic(size, size);
    CNoise noise(0x5EE7);
    const CColour chocolate(0.30f, 0.16f, 0.07f);
    const CColour chocolateLight(0.52f, 0.31f, 0.15f);
    const CColour orange(0.95f, 0.45f, 0.06f);
    const CColour orangeDark(0.70f, 0.28f, 0.03f);
    const CColour peanut(0.85f, 0.62f, 0.30f);
    const int flutes = 24;  // whole number round the ball, so the seam matches
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = (x + 0.5f) / size, v = (y + 0.5f) / size;  // v = 0 at the top pole
            const float flute = std::cos(kTau * flutes * u);
            // Scalloped top edge of the wrapper follows the flutes.
            const float rim = 0.56f + 0.025f * flute;
            // Fluted paper cup: stripes of light and shade, printed band.
            CColour cup = CColour::Mix(orangeDark, orange, 0.5f + 0.5f * flute);
            const float band = Smooth(0.70f, 0.715f, v) * Smooth(0.83f, 0.815f, v);
            cup = CColour::Mix(cup, CColour(0.98f, 0.82f, 0.16f), band * 0.9f);
            const float lines = Smooth(0.715f, 0.725f, v) * Smooth(0.735f, 0.725f, v) +
                                Smooth(0.805f, 0.815f, v) * Smooth(0.825f, 0.815f, v);
            cup = CColour::Mix(cup, chocolate, lines * 0.8f);
            // Little brown diamonds printed round the band.
            const float du = std::fabs(std::fmod(u * 16.0f, 1.0f) - 0.5f) * 2.0f;
            const float dv = std::fabs(v - 0.77f) / 0.03f;
            cup = CColour::Mix(cup, chocolate, Smooth(1.0f, 0.85f, du * 2.0f + dv) * 0.9f);
            cup = cup * (0.75f + 0.25f * (1.0f - Smooth(0.88f, 1.0f, v)));

            // Chocolate: a flat top with a ring at its edge, then ridged sides
            // running down into the cup.
            const float swirl = noise.Fbm(u, v, 16, 8, 4, 0.55f);
            const float ridge = std::sin(kTau * flutes * u);
            const float sideAmount = Smooth(0.27f, 0.31f, v);
            CColour top = CColour::Mix(chocolate, chocolateLight, Clamp01(0.25f + 0.35f * swirl));
            top = CColour::Mix(
                top, CColour::Mix(CColour(0.20f, 0.10f, 0.04f), chocolateLight, 0.5f + 0.5f * ridge),
                sideAmount);
            const float ring = Smooth(0.215f, 0.25f, v) * Smooth(0.29f, 0.255f, v);
            top = CColour::Mix(top, CColour(0.62f, 0.42f, 0.25f), ring * 0.7f);
            // Peanut butter peeking out at the crown.
            const float crown = Smooth(0.12f, 0.07f, v + 0.02f * noise.Gradient(u, v, 12, 4, 2));
            top = CColour::Mix(top, peanut, crown * 0.9f);
            const float gloss = Smooth(0.12f, 0.17f, v) * Smooth(0.22f, 0.17f, v) *
                                Smooth(0.3f, 0.95f, 0.5f + 0.5f * std::sin(kTau * 3.0f * u));
            top = CColour::Mix(top, CColour(0.85f, 0.70f, 0.55f), gloss * 0.3f);
            // Soft scalloped edge where the chocolate meets the paper.
            CColour c = CColour::Mix(top, cup, Smooth(rim - 0.006f, rim + 0.006f, v));
            c = c * (1.0f + 0.05f * (noise.Grain(x, y) - 0.5f));
            pic.At(x, y) = c;
        }
    }
    return pic;
}

#include "CFacePictures.h"

#include <cmath>

#include "CNoise.h"
#include "CPaintRandom.h"
#include "PaintMath.h"

using namespace paint;

namespace {

// Fills an ellipse (optionally rotated by angle) with one colour.
void Ellipse(CPicture& pic, float cx, float cy, float rx, float ry, const CColour& c, float opacity = 1.0f,
             float angle = 0.0f, float softness = 1.0f) {
    const float ca = std::cos(angle), sa = std::sin(angle);
    const float r = (rx > ry ? rx : ry) + softness + 1.0f;
    pic.Stamp(cx, cy, r, false, [&](float dx, float dy) -> SStroke {
        const float x = dx * ca + dy * sa, y = -dx * sa + dy * ca;
        const float d = EllipseDistance(x, y, rx, ry);
        return {Clamp01(0.5f - d / softness) * opacity, c};
    });
}

// A round-ended stroke from a to b.
void Line(CPicture& pic, float ax, float ay, float bx, float by, float width, const CColour& c,
          float opacity = 1.0f) {
    const float cx = (ax + bx) * 0.5f, cy = (ay + by) * 0.5f;
    const float rx = std::fabs(bx - ax) * 0.5f + width + 1.0f;
    const float ry = std::fabs(by - ay) * 0.5f + width + 1.0f;
    pic.Stamp(cx, cy, rx, ry, false, [&](float dx, float dy) -> SStroke {
        const float d = SegmentDistance(cx + dx, cy + dy, ax, ay, bx, by) - width * 0.5f;
        return {Cover(d) * opacity, c};
    });
}

// A smooth curve through three points (quadratic), drawn as short strokes.
void Curve(CPicture& pic, float ax, float ay, float mx, float my, float bx, float by, float width,
           const CColour& c, float opacity = 1.0f) {
    const int steps = 16;
    float px = ax, py = ay;
    for (int i = 1; i <= steps; ++i) {
        const float t = float(i) / steps, s = 1.0f - t;
        // Control point chosen so the curve passes through (mx, my) at t = 0.5.
        const float qx = 2.0f * mx - 0.5f * (ax + bx), qy = 2.0f * my - 0.5f * (ay + by);
        const float x = s * s * ax + 2.0f * s * t * qx + t * t * bx;
        const float y = s * s * ay + 2.0f * s * t * qy + t * t * by;
        Line(pic, px, py, x, y, width, c, opacity);
        px = x;
        py = y;
    }
}

// Triangle with soft edges, used for ears and the nose.
void Triangle(CPicture& pic, const float (&p)[6], const CColour& c, float opacity = 1.0f) {
    float minX = p[0], maxX = p[0], minY = p[1], maxY = p[1];
    for (int i = 1; i < 3; ++i) {
        minX = std::fmin(minX, p[2 * i]);
        maxX = std::fmax(maxX, p[2 * i]);
        minY = std::fmin(minY, p[2 * i + 1]);
        maxY = std::fmax(maxY, p[2 * i + 1]);
    }
    const float cx = (minX + maxX) * 0.5f, cy = (minY + maxY) * 0.5f;
    pic.Stamp(cx, cy, (maxX - minX) * 0.5f + 1.0f, (maxY - minY) * 0.5f + 1.0f, false,
              [&](float dx, float dy) -> SStroke {
                  const float x = cx + dx, y = cy + dy;
                  float inside = 1e9f;
                  float sign = 0.0f;
                  for (int i = 0; i < 3; ++i) {
                      const float ax = p[2 * i], ay = p[2 * i + 1];
                      const float bx = p[(2 * i + 2) % 6], by = p[(2 * i + 3) % 6];
                      const float ex = bx - ax, ey = by - ay;
                      const float len = std::sqrt(ex * ex + ey * ey);
                      const float cross = (ex * (y - ay) - ey * (x - ax)) / len;
                      if (i == 0) sign = cross >= 0.0f ? 1.0f : -1.0f;
                      inside = std::fmin(inside, cross * sign);
                  }
                  return {Clamp01(inside + 0.5f) * opacity, c};
              });
}

}  // namespace

CPicture CFacePictures::Cougar() {
    const int factor = 4, size = 128 * factor;
    const float s = float(size) / 512.0f;  // layout below is in 512 units
    CPicture pic(size, size);
    CNoise noise(0xC0C0);
    const CColour tawny(0.76f, 0.52f, 0.28f);
    const CColour darkTawny(0.52f, 0.33f, 0.16f);
    const CColour cream(0.95f, 0.90f, 0.80f);
    const CColour black(0.06f, 0.04f, 0.03f);

    // Fur everywhere, a little darker round the edges of the cube face.
    pic.Fill([&](float u, float v) {
        const float fur = noise.Fbm(u * 0.6f, v * 3.0f, 24, 8, 3, 0.5f);
        const float edge = std::fmax(std::fabs(u - 0.5f), std::fabs(v - 0.55f)) * 2.0f;
        return CColour::Mix(darkTawny, darkTawny * 0.7f, Smooth(0.6f, 1.0f, edge)) * (1.0f + 0.15f * fur);
    });
    // Ears: dark backs with pale insides.
    for (int side = -1; side <= 1; side += 2) {
        const float ex = 256.0f + side * 150.0f;
        Ellipse(pic, ex * s, 70 * s, 70 * s, 78 * s, CColour(0.30f, 0.20f, 0.12f), 1.0f, side * 0.35f, 4 * s);
        Ellipse(pic, ex * s, 80 * s, 42 * s, 52 * s, CColour(0.88f, 0.74f, 0.62f), 1.0f, side * 0.35f, 6 * s);
    }
    // Head shape.
    pic.Stamp(256 * s, 285 * s, 225 * s, false, [&](float dx, float dy) -> SStroke {
        const float d = EllipseDistance(dx, dy, 215 * s, 205 * s);
        const float fur =
            noise.Fbm((256 * s + dx) / size * 0.6f, (285 * s + dy) / size * 3.0f, 24, 8, 3, 0.5f, 2);
        const float rim = Smooth(-60 * s, 0.0f, d);  // rounder: darker towards the outline
        return {Clamp01(0.5f - d / (6 * s)),
                CColour::Mix(tawny, darkTawny, rim * 0.6f) * (1.0f + 0.1f * fur)};
    });
    // Forehead shading and lighter brows.
    Ellipse(pic, 256 * s, 170 * s, 120 * s, 60 * s, darkTawny, 0.35f, 0.0f, 40 * s);
    for (int side = -1; side <= 1; side += 2) {
        Ellipse(pic, (256 + side * 85) * s, 205 * s, 60 * s, 24 * s, CColour(0.88f, 0.72f, 0.52f), 0.7f,
                side * -0.25f, 14 * s);
    }
    // Muzzle: cream cheek pads and chin.
    Ellipse(pic, 256 * s, 300 * s, 40 * s, 80 * s, CColour(0.86f, 0.66f, 0.44f), 0.8f, 0.0f, 16 * s);
    for (int side = -1; side <= 1; side += 2)
        Ellipse(pic, (256 + side * 58) * s, 390 * s, 70 * s, 52 * s, cream, 1.0f, side * 0.25f, 10 * s);
    Ellipse(pic, 256 * s, 450 * s, 62 * s, 38 * s, cream, 1.0f, 0.0f, 8 * s);
    // Black whisker patches at the corners of the muzzle.
    for (int side = -1; side <= 1; side += 2)
        Ellipse(pic, (256 + side * 112) * s, 395 * s, 28 * s, 36 * s, black, 0.85f, side * 0.4f, 8 * s);
    // Eyes.
    for (int side = -1; side <= 1; side += 2) {
        const float ex = (256 + side * 88) * s, ey = 250 * s;
        Ellipse(pic, ex, ey, 52 * s, 34 * s, black, 1.0f, side * 0.18f, 3 * s);
        Ellipse(pic, ex, ey, 44 * s, 28 * s, CColour(0.80f, 0.66f, 0.22f), 1.0f, side * 0.18f, 2 * s);
        Ellipse(pic, ex, ey + 4 * s, 30 * s, 22 * s, CColour(0.55f, 0.55f, 0.12f), 0.6f, 0.0f, 10 * s);
        Ellipse(pic, ex, ey, 9 * s, 25 * s, black, 1.0f, 0.0f, 2 * s);
        Ellipse(pic, ex - side * 12 * s, ey - 10 * s, 6 * s, 6 * s, CColour(1, 1, 1), 0.9f, 0.0f, 2 * s);
        // Dark tear line from the inner corner down beside the muzzle.
        Curve(pic, (256 + side * 44) * s, 262 * s, (256 + side * 62) * s, 305 * s, (256 + side * 66) * s,
              345 * s, 10 * s, black, 0.8f);
    }
    // Nose.
    {
        const float p[6] = {214 * s, 318 * s, 298 * s, 318 * s, 256 * s, 362 * s};
        Triangle(pic, p, CColour(0.72f, 0.42f, 0.38f));
        Ellipse(pic, 256 * s, 318 * s, 42 * s, 10 * s, CColour(0.72f, 0.42f, 0.38f), 1.0f, 0.0f, 2 * s);
        Ellipse(pic, 240 * s, 336 * s, 8 * s, 5 * s, black, 0.8f, 0.4f, 2 * s);
        Ellipse(pic, 272 * s, 336 * s, 8 * s, 5 * s, black, 0.8f, -0.4f, 2 * s);
        Ellipse(pic, 248 * s, 325 * s, 12 * s, 4 * s, CColour(0.9f, 0.65f, 0.6f), 0.6f, 0.0f, 3 * s);
    }
    // Mouth.
    Line(pic, 256 * s, 360 * s, 256 * s, 395 * s, 6 * s, black, 0.85f);
    Curve(pic, 256 * s, 395 * s, 232 * s, 410 * s, 205 * s, 398 * s, 6 * s, black, 0.85f);
    Curve(pic, 256 * s, 395 * s, 280 * s, 410 * s, 307 * s, 398 * s, 6 * s, black, 0.85f);
    // Whisker dots and whiskers.
    CPaintRandom rnd(0xCA7);
    for (int side = -1; side <= 1; side += 2) {
        for (int i = 0; i < 8; ++i)
            Ellipse(pic, (256 + side * (40 + 16 * (i % 4))) * s, (378 + 12 * (i / 4) + 4 * (i % 2)) * s,
                    3 * s, 3 * s, CColour(0.35f, 0.25f, 0.18f), 0.8f);
        for (int i = 0; i < 4; ++i) {
            const float y0 = (380 + i * 10) * s;
            Curve(pic, (256 + side * 80) * s, y0, (256 + side * 170) * s, y0 + (i * 8 - 12) * s,
                  (256 + side * 245) * s, y0 + (i * 20 - 10 + rnd.Range(-5, 5)) * s, 2.5f * s,
                  CColour(0.97f, 0.95f, 0.9f), 0.75f);
        }
    }
    return pic.Downsampled(factor);
}

CPicture CFacePictures::Elder() {
    const int factor = 2, w = 512 * factor, h = 256 * factor;
    const float s = float(factor);  // layout below is in 512 x 256 units
    CPicture pic(w, h);
    CNoise noise(0xE1DE);
    const CColour skin(0.92f, 0.74f, 0.60f);
    const CColour hair(0.93f, 0.93f, 0.92f);
    const CColour shadowSkin(0.78f, 0.57f, 0.45f);
    // The face looks out from longitude u = 0.54; the rest of the ball is the
    // back and sides of his head.
    const float fx = 0.54f * 512.0f;
    pic.Fill([&](float u, float v) {
        float du = u - 0.54f;
        du -= std::floor(du + 0.5f);  // wrap to -0.5..0.5
        // Long white hair falling down the back and sides: strands run
        // downwards, with grey between them.
        const float locks = noise.Fbm(u, v, 10, 3, 2, 0.5f, 3);
        const float strands = noise.Fbm(u + 0.02f * locks, v * 0.25f, 96, 2, 3, 0.5f);
        CColour hairCol =
            CColour::Mix(CColour(0.76f, 0.76f, 0.78f), hair, Smooth(-0.8f, 0.6f, strands + 0.5f * locks));
        // An oval face looking out at longitude 0.54; bald on top all round,
        // since the top rows all meet at the crown of the ball.
        const float x = du * 512.0f, y = v * 256.0f;
        const float oval = EllipseDistance(x, y - 122.0f, 92.0f, 98.0f) + 6.0f * locks;
        const float crown = (y - 34.0f) + 6.0f * locks;
        const float faceAmount = Smooth(4.0f, -4.0f, std::fmin(oval, crown));
        // Skin darkens towards the edge of the face, where it turns away.
        const float rim = Smooth(-40.0f, 0.0f, oval) * Smooth(-10.0f, 10.0f, crown);
        CColour skinCol = CColour::Mix(skin, shadowSkin, rim * 0.7f);
        skinCol = skinCol * (1.0f + 0.04f * noise.Gradient(u, v, 48, 24, 9));
        return CColour::Mix(hairCol, skinCol, faceAmount);
    });
    // Shadowed eye sockets.
    for (int side = -1; side <= 1; side += 2)
        Ellipse(pic, (fx + side * 28) * s, 112 * s, 20 * s, 13 * s, shadowSkin, 0.5f, 0.0f, 8 * s);
    // Ears at the sides of the face.
    for (int side = -1; side <= 1; side += 2) {
        Ellipse(pic, (fx + side * 96) * s, 122 * s, 12 * s, 22 * s, shadowSkin, 1.0f, 0.0f, 2 * s);
        Ellipse(pic, (fx + side * 96) * s, 122 * s, 6 * s, 14 * s, CColour(0.70f, 0.48f, 0.40f), 1.0f, 0.0f,
                2 * s);
    }
    // Forehead wrinkles.
    for (int i = 0; i < 3; ++i) {
        const float y = (76 + i * 8) * s;
        Curve(pic, (fx - 36) * s, y + 3 * s, fx * s, y - 2 * s, (fx + 36) * s, y + 3 * s, 1.6f * s,
              CColour(0.70f, 0.50f, 0.40f), 0.7f);
    }
    // Rosy cheeks.
    for (int side = -1; side <= 1; side += 2)
        Ellipse(pic, (fx + side * 44) * s, 136 * s, 18 * s, 12 * s, CColour(0.95f, 0.55f, 0.50f), 0.45f, 0.0f,
                10 * s);
    // Eyes under bushy white brows.
    for (int side = -1; side <= 1; side += 2) {
        const float ex = (fx + side * 28) * s, ey = 112 * s;
        Ellipse(pic, ex, ey, 12 * s, 7 * s, CColour(0.98f, 0.97f, 0.95f), 1.0f, 0.0f, 1.5f * s);
        Ellipse(pic, ex, ey, 6 * s, 6 * s, CColour(0.25f, 0.45f, 0.75f), 1.0f, 0.0f, 1.2f * s);
        Ellipse(pic, ex, ey, 3 * s, 3 * s, CColour(0.05f, 0.05f, 0.08f), 1.0f, 0.0f, 1.0f * s);
        Ellipse(pic, ex - 2 * s, ey - 2 * s, 1.5f * s, 1.5f * s, CColour(1, 1, 1), 0.9f);
        Curve(pic, ex - 13 * s, ey, ex, ey - 9 * s, ex + 13 * s, ey, 2.0f * s, CColour(0.35f, 0.22f, 0.18f));
        for (int k = 0; k < 7; ++k) {
            const float t = float(k) / 6.0f;
            const float bx = ex + (t - 0.5f) * 30 * s * float(side);
            const float by = ey - (15 + 4 * std::sin(t * 3.1f) - 3 * t) * s;
            Ellipse(pic, bx + 1 * s, by + 1.5f * s, 7 * s, 4 * s, CColour(0.6f, 0.55f, 0.52f), 0.5f,
                    side * 0.3f, 2 * s);
            Ellipse(pic, bx, by, 7 * s, 4 * s, CColour(0.97f, 0.97f, 0.96f), 1.0f, side * (0.2f + 0.3f * t),
                    2 * s);
        }
    }
    // Nose.
    Ellipse(pic, fx * s, 128 * s, 9 * s, 20 * s, CColour(0.85f, 0.62f, 0.50f), 0.7f, 0.0f, 4 * s);
    Ellipse(pic, fx * s, 140 * s, 12 * s, 9 * s, CColour(0.90f, 0.64f, 0.54f), 1.0f, 0.0f, 2 * s);
    Ellipse(pic, (fx - 5) * s, 144 * s, 3 * s, 2 * s, CColour(0.45f, 0.28f, 0.24f), 0.8f);
    Ellipse(pic, (fx + 5) * s, 144 * s, 3 * s, 2 * s, CColour(0.45f, 0.28f, 0.24f), 0.8f);
    // Long white beard from the cheeks down to the chin of the ball.
    pic.Stamp(fx * s, 200 * s, 80 * s, 60 * s, false, [&](float dx, float dy) -> SStroke {
        const float x = dx / s, y = dy / s + 200.0f;  // back to layout units
        if (y < 140.0f) return {0.0f, CColour()};
        const float halfWidth = 74.0f - (y - 140.0f) * 0.45f;
        const float wave = 4.0f * std::sin(y * 0.08f);
        const float d = std::fabs(x + wave) - halfWidth;
        const float top = 150.0f + 0.004f * x * x;
        const float alpha = Cover(d * s) * Smooth(top - 6.0f, top + 4.0f, y) * Smooth(258.0f, 246.0f, y);
        const float flow = noise.Gradient(x / 512.0f, y / 256.0f, 16, 8, 5);
        const float strands =
            noise.Fbm((x + 6.0f * flow + 0.1f * y) / 512.0f, y / 1024.0f, 128, 2, 2, 0.5f, 6);
        const float shade = 0.90f + 0.08f * strands - 0.12f * Smooth(20.0f, 60.0f, std::fabs(x));
        return {alpha, CColour(0.96f, 0.96f, 0.95f) * shade};
    });
    // Moustache over the mouth.
    for (int side = -1; side <= 1; side += 2) {
        Ellipse(pic, (fx + side * 20) * s, 153 * s, 24 * s, 8 * s, CColour(0.98f, 0.98f, 0.97f), 1.0f,
                side * 0.3f, 2 * s);
    }
    Ellipse(pic, fx * s, 162 * s, 10 * s, 3 * s, CColour(0.45f, 0.18f, 0.16f), 0.85f, 0.0f, 1.5f * s);
    return pic.Downsampled(factor);
}

#include "CPagePictures.h"

#include <cmath>
#include <string>

#include "CNoise.h"
#include "CPaintRandom.h"
#include "PaintMath.h"

using namespace paint;

namespace {

void Ellipse(CPicture& pic, float cx, float cy, float rx, float ry, const CColour& c, float opacity = 1.0f,
             float angle = 0.0f, float softness = 1.0f) {
    const float ca = std::cos(angle), sa = std::sin(angle);
    pic.Stamp(cx, cy, std::fmax(rx, ry) + softness + 1.0f, false, [&](float dx, float dy) -> SStroke {
        const float x = dx * ca + dy * sa, y = -dx * sa + dy * ca;
        return {Clamp01(0.5f - EllipseDistance(x, y, rx, ry) / softness) * opacity, c};
    });
}

// The duckling: a fluffy yellow body and head, orange bill, bright eye.
// (x, y) is the middle of the body at the waterline; size 1 is about 150 px long.
void Duckling(CPicture& pic, float x, float y, float size) {
    const CColour yellow(1.0f, 0.86f, 0.22f), shade(0.90f, 0.66f, 0.10f);
    const CColour bill(0.98f, 0.52f, 0.08f);
    const float k = size;
    // Reflection and ripples under it.
    Ellipse(pic, x, y + 8 * k, 90 * k, 12 * k, CColour(0.02f, 0.05f, 0.12f), 0.5f, 0.0f, 8 * k);
    Ellipse(pic, x, y + 14 * k, 70 * k, 14 * k, CColour(0.8f, 0.65f, 0.2f), 0.25f, 0.0f, 10 * k);
    // Body with a lifted tail.
    Ellipse(pic, x - 60 * k, y - 38 * k, 24 * k, 12 * k, shade, 1.0f, -0.6f, 2 * k);
    Ellipse(pic, x, y - 30 * k, 72 * k, 38 * k, yellow, 1.0f, 0.0f, 2 * k);
    Ellipse(pic, x + 5 * k, y - 12 * k, 66 * k, 18 * k, shade, 0.45f, 0.0f, 14 * k);
    // Wing.
    Ellipse(pic, x - 10 * k, y - 32 * k, 34 * k, 18 * k, shade, 0.9f, -0.25f, 3 * k);
    Ellipse(pic, x - 6 * k, y - 36 * k, 26 * k, 11 * k, yellow, 0.6f, -0.25f, 6 * k);
    // Head.
    Ellipse(pic, x + 52 * k, y - 86 * k, 36 * k, 34 * k, yellow, 1.0f, 0.0f, 2 * k);
    Ellipse(pic, x + 46 * k, y - 100 * k, 10 * k, 6 * k, CColour(1.0f, 0.96f, 0.6f), 0.6f, 0.0f, 5 * k);
    // Tuft on top.
    Ellipse(pic, x + 46 * k, y - 122 * k, 5 * k, 10 * k, yellow, 1.0f, -0.5f, 2 * k);
    Ellipse(pic, x + 56 * k, y - 120 * k, 4 * k, 9 * k, yellow, 1.0f, 0.4f, 2 * k);
    // Bill.
    Ellipse(pic, x + 94 * k, y - 80 * k, 22 * k, 8 * k, bill, 1.0f, 0.12f, 2 * k);
    Ellipse(pic, x + 92 * k, y - 74 * k, 18 * k, 5 * k, CColour(0.85f, 0.38f, 0.05f), 1.0f, 0.12f, 2 * k);
    // Eye.
    Ellipse(pic, x + 66 * k, y - 94 * k, 6 * k, 7 * k, CColour(0.05f, 0.04f, 0.05f), 1.0f, 0.0f, 1.5f * k);
    Ellipse(pic, x + 68 * k, y - 97 * k, 2 * k, 2 * k, CColour(1, 1, 1), 1.0f);
    // Cheek blush.
    Ellipse(pic, x + 70 * k, y - 78 * k, 8 * k, 5 * k, CColour(1.0f, 0.6f, 0.3f), 0.35f, 0.0f, 4 * k);
}

void Reed(CPicture& pic, CPaintRandom& rnd, float x, float baseY, float height) {
    const float lean = rnd.Range(-0.15f, 0.15f);
    const float w = rnd.Range(3.0f, 5.0f);
    const CColour stem(0.12f, 0.30f, 0.10f);
    pic.Stamp(x + lean * height * 0.5f, baseY - height * 0.5f, height * 0.3f + w + 2, height * 0.5f + 2,
              false, [&](float dx, float dy) -> SStroke {
                  const float t = Clamp01(-(dy - height * 0.5f) / height);  // 0 at base, 1 at top
                  const float cxAt = lean * height * (t - 0.5f) * t * 2.0f;
                  const float d = std::fabs(dx - cxAt) - w * (1.0f - 0.7f * t);
                  return {Cover(d) * (t < 1.0f ? 1.0f : 0.0f), stem * (0.8f + 0.4f * t)};
              });
    if (rnd.Unit() < 0.6f) {
        // Bulrush head.
        const float hx = x + lean * height * 0.5f * 2.0f * 0.72f * 0.72f, hy = baseY - height * 0.72f;
        Ellipse(pic, hx, hy, w * 1.6f, height * 0.09f, CColour(0.35f, 0.20f, 0.10f), 1.0f, lean, 1.5f);
    }
}

void LilyPad(CPicture& pic, float x, float y, float r) {
    const CColour green(0.20f, 0.50f, 0.18f);
    pic.Stamp(x, y, r + 2, false, [&](float dx, float dy) -> SStroke {
        const float d = EllipseDistance(dx, dy * 2.6f, r, r);
        const float angle = std::atan2(dy * 2.6f, dx);
        if (std::fabs(angle - 0.5f) < 0.18f) return {0.0f, CColour()};  // the notch
        return {Cover(d), green * (0.8f + 0.3f * (-dy / r))};
    });
}

}  // namespace

CPicture CPagePictures::Title(CTextPainter& text) {
    const int size = 512;
    CPicture pic(size, size);
    CNoise noise(0x717E);
    CPaintRandom rnd(0x717E);
    const float horizon = 230.0f;
    // Evening sky over a pond; the water gets darker towards the viewer so
    // the red key lines printed there stand out.
    pic.Fill([&](float u, float v) {
        const float y = v * size;
        if (y < horizon) {
            const float t = y / horizon;
            CColour sky = CColour::Mix(CColour(0.16f, 0.28f, 0.62f), CColour(0.98f, 0.72f, 0.45f), t * t);
            const float cloud = Smooth(0.15f, 0.6f, noise.Fbm(u * 0.5f, v * 2.0f, 4, 4, 4, 0.5f));
            return CColour::Mix(sky, CColour(1.0f, 0.88f, 0.80f), cloud * 0.35f * (1.0f - t));
        }
        const float t = (y - horizon) / (size - horizon);
        const CColour top(0.22f, 0.30f, 0.48f), deep(0.02f, 0.04f, 0.10f);
        CColour water = CColour::Mix(top, deep, Smooth(0.0f, 0.45f, t));
        const float ripple = std::sin(y * 0.35f + 3.0f * noise.Fbm(u, v, 6, 3, 2, 0.5f));
        water = water * (1.0f + 0.10f * ripple * (1.0f - Smooth(0.3f, 0.5f, t)));
        return water;
    });
    // Far shore: a band of dark trees along the horizon.
    pic.Stamp(size * 0.5f, horizon - 20.0f, size * 0.5f, 40.0f, false, [&](float dx, float dy) -> SStroke {
        const float u = (size * 0.5f + dx) / size;
        const float crown = 18.0f + 16.0f * (0.5f + 0.5f * noise.Fbm(u, 0.3f, 12, 1, 3, 0.5f));
        const float y = dy + 20.0f;  // 0 at the horizon, negative above
        return {Cover(-y - crown) * (y < 0.0f ? 1.0f : 0.0f), CColour(0.10f, 0.20f, 0.14f)};
    });
    // Reeds at both sides and lily pads.
    for (int i = 0; i < 14; ++i) {
        const float x = (i < 7) ? rnd.Range(4.0f, 110.0f) : rnd.Range(410.0f, 508.0f);
        Reed(pic, rnd, x, rnd.Range(300.0f, 330.0f), rnd.Range(90.0f, 150.0f));
    }
    LilyPad(pic, 120.0f, 300.0f, 34.0f);
    LilyPad(pic, 400.0f, 290.0f, 28.0f);
    Ellipse(pic, 126.0f, 292.0f, 9.0f, 6.0f, CColour(0.98f, 0.80f, 0.88f), 1.0f, 0.0f, 1.5f);
    Duckling(pic, 250.0f, 300.0f, 0.95f);
    // The name, in bright yellow with a dark outline and a drop shadow.
    const std::string name = "Pondquest!";
    text.DrawCentred(pic, name, size * 0.5f + 5.0f, 128.0f + 6.0f, 92, 470, CColour(0.03f, 0.05f, 0.15f));
    text.DrawCentred(pic, name, size * 0.5f, 128.0f, 92, 470, CColour(1.0f, 0.84f, 0.16f), 3.5f,
                     CColour(0.20f, 0.10f, 0.02f));
    // Plain dark panel where the key lines are printed.
    const float left = keyAreaLeft * size, right = keyAreaRight * size;
    const float top = keyAreaTop * size, bottom = keyAreaBottom * size;
    pic.Stamp((left + right) * 0.5f, (top + bottom) * 0.5f, (right - left) * 0.5f + 12,
              (bottom - top) * 0.5f + 12, false, [&](float dx, float dy) -> SStroke {
                  const float hx = (right - left) * 0.5f, hy = (bottom - top) * 0.5f;
                  const float qx = std::fabs(dx) - hx + 14.0f, qy = std::fabs(dy) - hy + 14.0f;
                  const float d = std::sqrt(std::fmax(qx, 0.0f) * std::fmax(qx, 0.0f) +
                                            std::fmax(qy, 0.0f) * std::fmax(qy, 0.0f)) -
                                  14.0f;
                  if (d > -2.0f && d < 0.5f) return {0.6f, CColour(0.35f, 0.28f, 0.12f)};  // thin frame
                  return {Cover(d) * 0.85f, CColour(0.02f, 0.02f, 0.05f)};
              });
    return pic;
}

CPicture CPagePictures::Credits(CTextPainter& text, int page) {
    const int size = 512;
    CPicture pic(size, size);
    CNoise noise(0xC4ED);
    // The two pages lie one after the other, so the background continues
    // from the bottom of the first into the top of the second.
    const float offset = page == 1 ? 0.0f : 1.0f;
    pic.Fill([&](float u, float v) {
        const float g = (v + offset) * 0.5f;
        const float n = noise.Fbm(u, (v + offset) * 0.5f, 4, 8, 4, 0.5f);
        CColour c = CColour::Mix(CColour(0.03f, 0.14f, 0.18f), CColour(0.02f, 0.06f, 0.12f), g);
        c = c * (1.0f + 0.25f * n);
        // Reeds along the left and right margins.
        const float margin = std::fmin(u, 1.0f - u);
        const float leafy = Smooth(0.13f, 0.05f, margin + 0.03f * noise.Fbm(u, v, 8, 16, 2, 0.5f, 4));
        return CColour::Mix(c, CColour(0.08f, 0.24f, 0.10f) * (1.0f + 0.4f * n), leafy * 0.9f);
    });
    const float cx = size * 0.5f;
    const int maxWidth = int((textBandRight - textBandLeft) * size);
    const CColour gold(1.0f, 0.84f, 0.18f), heading(0.98f, 0.55f, 0.18f), body(0.92f, 0.95f, 0.98f);
    const CColour outline(0.0f, 0.0f, 0.0f);
    float y;
    auto entry = [&](const char* title, std::initializer_list<const char*> lines) {
        text.DrawCentred(pic, title, cx, y, 31, maxWidth, heading, 1.5f, outline);
        y += 32.0f;
        for (const char* line : lines) {
            text.DrawCentred(pic, line, cx, y, 24, maxWidth, body, 1.2f, outline);
            y += 28.0f;
        }
        y += 30.0f;
    };
    if (page == 1) {
        y = 80.0f;
        text.DrawCentred(pic, "Pondquest!", cx, y, 60, maxWidth, gold, 2.5f, CColour(0.25f, 0.12f, 0.0f));
        y += 36.0f;
        text.DrawCentred(pic, "a duckling's quest", cx, y, 22, maxWidth, body, 1.2f, outline);
        y += 74.0f;
        entry("Programming", {"C++ with SDL2,", "OpenGL and FreeType"});
        entry("Pictures", {"generated by the", "game's own code"});
        entry("Fonts", {"Liberation Sans"});
    } else {
        y = 60.0f;
        entry("Music", {"original compositions,", "played by FluidSynth"});
        entry("Sound effects", {"made by the", "game's own code"});
        y += 10.0f;
        text.DrawCentred(pic, "Thanks for", cx, y, 48, maxWidth, gold, 2.5f, CColour(0.25f, 0.12f, 0.0f));
        y += 56.0f;
        text.DrawCentred(pic, "playing!", cx, y, 48, maxWidth, gold, 2.5f, CColour(0.25f, 0.12f, 0.0f));
        Duckling(pic, cx - 22.0f, 470.0f, 0.6f);
    }
    return pic;
}

CPicture CPagePictures::Icon(const CColour& background) {
    CPicture pic(kIconSize, kIconSize);
    pic.Fill([&](float, float) { return background; });
    const float c = kIconSize * 0.5f, r = kIconSize * 0.47f;
    // Pond water, lighter towards the top, darkening into a rim so the badge holds its shape
    // on light and dark panels alike.
    pic.Stamp(c, c, r + 2.0f, false, [&](float dx, float dy) -> SStroke {
        const float d = std::sqrt(dx * dx + dy * dy);
        CColour water = CColour::Mix(CColour(0.42f, 0.68f, 0.88f), CColour(0.08f, 0.22f, 0.45f),
                                     Clamp01(0.5f + 0.5f * dy / r));
        water = CColour::Mix(water, CColour(0.04f, 0.10f, 0.24f), Smooth(r - 0.06f * kIconSize, r, d));
        return {Cover(d - r), water};
    });
    // The duckling's outline spans about 200 x 155 at size 1, centred 16 right of and 55 above
    // the point it is placed at; this fills most of the badge.
    const float k = 2.8f;
    Duckling(pic, c - 16.0f * k, c + 55.0f * k, k);
    return pic;
}

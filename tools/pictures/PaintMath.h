#ifndef PONDQUEST_TOOLS_PAINTMATH_H
#define PONDQUEST_TOOLS_PAINTMATH_H

#include <cmath>

namespace paint {

const float kTau = 6.2831853f;

inline float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

inline float Smooth(float edge0, float edge1, float x) {
    const float t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

// Coverage of a pixel by a shape whose signed distance (pixels, negative
// inside) is d: a one-pixel anti-aliased edge.
inline float Cover(float d) { return Clamp01(0.5f - d); }

// Distance from p to the segment a-b.
inline float SegmentDistance(float px, float py, float ax, float ay, float bx, float by) {
    const float vx = bx - ax, vy = by - ay;
    const float len2 = vx * vx + vy * vy;
    float t = len2 > 0.0f ? ((px - ax) * vx + (py - ay) * vy) / len2 : 0.0f;
    t = Clamp01(t);
    const float dx = px - (ax + vx * t), dy = py - (ay + vy * t);
    return std::sqrt(dx * dx + dy * dy);
}

// Approximate signed distance to an axis-aligned ellipse centred at the origin.
inline float EllipseDistance(float x, float y, float rx, float ry) {
    const float k = std::sqrt((x * x) / (rx * rx) + (y * y) / (ry * ry));
    const float m = rx < ry ? rx : ry;
    return (k - 1.0f) * m;
}

}  // namespace paint

#endif
